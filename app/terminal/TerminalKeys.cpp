#include "app/terminal/TerminalKeys.h"

#include "host/base/TextCodec.h"

#include <cctype>

namespace app
{

namespace
{

// The key of a CSI or SS3 sequence's final byte and parameter.
bool SequenceKey(char final, int parameter, Key& key)
{
    switch (final)
    {
    case 'A':
        key.code = Key::Up;
        return true;
    case 'B':
        key.code = Key::Down;
        return true;
    case 'C':
        key.code = Key::Right;
        return true;
    case 'D':
        key.code = Key::Left;
        return true;
    case 'H':
        key.code = Key::Home;
        return true;
    case 'F':
        key.code = Key::End;
        return true;
    case 'Z':
        key.code = Key::BackTab;
        return true;
    case '~':
        switch (parameter)
        {
        case 1:
        case 7:
            key.code = Key::Home;
            return true;
        case 4:
        case 8:
            key.code = Key::End;
            return true;
        case 5:
            key.code = Key::PageUp;
            return true;
        case 6:
            key.code = Key::PageDown;
            return true;
        default:
            return false;
        }
    default:
        return false;
    }
}

// Length of the UTF-8 sequence that the lead byte starts.
std::size_t Utf8Length(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

} // namespace

std::vector<Key> KeyDecoder::Feed(std::string_view bytes)
{
    m_pending.append(bytes);
    std::vector<Key> keys;
    std::size_t pos = 0;
    while (pos < m_pending.size())
    {
        const unsigned char byte = static_cast<unsigned char>(m_pending[pos]);
        if (byte == 0x1B)
        {
            if (pos + 1 >= m_pending.size())
            {
                keys.push_back(Key{Key::Escape});
                ++pos;
                continue;
            }
            const char kind = m_pending[pos + 1];
            if (kind != '[' && kind != 'O')
            {
                keys.push_back(Key{Key::Escape});
                ++pos;
                continue;
            }
            std::size_t end = pos + 2;
            int parameter = 0;
            while (end < m_pending.size() &&
                   (std::isdigit(static_cast<unsigned char>(m_pending[end])) || m_pending[end] == ';'))
            {
                if (m_pending[end] != ';')
                    parameter = parameter * 10 + (m_pending[end] - '0');
                ++end;
            }
            if (end >= m_pending.size())
                break; // the rest of the sequence comes with the next read
            Key key;
            if (SequenceKey(m_pending[end], parameter, key))
                keys.push_back(key);
            pos = end + 1;
            continue;
        }
        if (byte == '\t')
            keys.push_back(Key{Key::Tab});
        else if (byte == '\r' || byte == '\n')
            keys.push_back(Key{Key::Enter});
        else if (byte == 0x7F || byte == 0x08)
            keys.push_back(Key{Key::Backspace});
        else if (byte == 0x03)
            keys.push_back(Key{Key::Interrupt});
        else if (byte >= 0x20)
        {
            const std::size_t length = Utf8Length(byte);
            if (pos + length > m_pending.size())
                break;
            const std::wstring wide = text::FromUtf8(std::string_view(m_pending).substr(pos, length));
            if (!wide.empty())
                keys.push_back(Key{Key::Char, wide.front()});
            pos += length;
            continue;
        }
        ++pos;
    }
    m_pending.erase(0, pos);
    return keys;
}

} // namespace app
