#include "app/QuickProjectReader.h"

#include "host/base/TextCodec.h"

#include <cstdint>

namespace app
{
namespace
{

// Gives up (nullopt) at the first thing outside the usual shape; every check a full read would
// make is made, so that nothing it would refuse gets through.
class QuickReader
{
public:
    explicit QuickReader(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    std::optional<ProjectFile> Read()
    {
        ProjectFile file;
        // Objects take well over a hundred bytes of text each: one allocation for all of them.
        file.objects.reserve(static_cast<std::size_t>(m_end - m_p) / 128 + 1);
        if (!Take('{') || !Key("objects") || !Take('['))
            return std::nullopt;
        if (!Peek(']'))
        {
            do
            {
                if (!ReadObject(file.objects.emplace_back()))
                    return std::nullopt;
            } while (Take(','));
        }
        if (!Take(']') || !Take('}'))
            return std::nullopt;
        SkipSpace();
        if (m_p != m_end)
            return std::nullopt;
        return file;
    }

private:
    enum Field : std::uint32_t
    {
        kId = 1,
        kName = 2,
        kKind = 4,
        kParent = 8,
        kArguments = 16,
        kTargets = 32,
        kValues = 64,
    };

    void SkipSpace()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }

    bool Peek(char c)
    {
        SkipSpace();
        return m_p != m_end && *m_p == c;
    }

    bool Take(char c)
    {
        if (!Peek(c))
            return false;
        ++m_p;
        return true;
    }

    // A string without escapes or control characters, in well-formed UTF-8.
    bool String(std::string_view& out)
    {
        if (!Take('"'))
            return false;
        const char* const begin = m_p;
        bool bAscii = true;
        while (m_p != m_end && *m_p != '"')
        {
            const auto c = static_cast<unsigned char>(*m_p);
            if (c < 0x20 || c == '\\')
                return false;
            bAscii = bAscii && c < 0x80;
            ++m_p;
        }
        if (m_p == m_end)
            return false;
        out = std::string_view(begin, static_cast<std::size_t>(m_p - begin));
        ++m_p;
        return bAscii || text::IsValidUtf8(out);
    }

    bool Key(std::string_view name)
    {
        std::string_view key;
        return String(key) && key == name && Take(':');
    }

    bool Null()
    {
        SkipSpace();
        if (m_end - m_p < 4 || std::string_view(m_p, 4) != "null")
            return false;
        m_p += 4;
        return true;
    }

    // A GUID text, or null when `bAllowNull`; a null value leaves `out` empty.
    bool Guid(std::optional<GUID>& out, bool bAllowNull)
    {
        if (Peek('n'))
        {
            out.reset();
            return bAllowNull && Null();
        }
        // Nearly every id is written braced: its 38 characters are checked by the GUID parser alone,
        // which accepts nothing that a string of them could not hold.
        constexpr std::size_t kQuoted = 40;
        if (static_cast<std::size_t>(m_end - m_p) >= kQuoted && m_p[0] == '"' && m_p[kQuoted - 1] == '"')
        {
            if ((out = guid::Parse(std::string_view(m_p + 1, kQuoted - 2))))
            {
                m_p += kQuoted;
                return true;
            }
        }
        std::string_view text;
        if (!String(text))
            return false;
        out = guid::Parse(text);
        return out.has_value();
    }

    // An array of GUID texts or nulls, each handed to `add`.
    template <class Add> bool GuidList(Add&& add)
    {
        if (!Take('['))
            return false;
        if (Take(']'))
            return true;
        do
        {
            std::optional<GUID> id;
            if (!Guid(id, true))
                return false;
            add(id);
        } while (Take(','));
        return Take(']');
    }

    bool ReadObject(ProjectFileObject& object)
    {
        if (!Take('{'))
            return false;
        std::uint32_t seen = 0;
        const auto once = [&seen](Field field)
        {
            const bool bFirst = (seen & field) == 0;
            seen |= field;
            return bFirst;
        };
        if (!Peek('}'))
        {
            do
            {
                std::string_view key;
                if (!String(key) || !Take(':') || !ReadField(key, object, once))
                    return false;
            } while (Take(','));
        }
        if (!Take('}') || (seen & (kId | kName)) != (kId | kName))
            return false;
        // Lists that belong to another kind of object are the full reader's to report.
        if ((seen & (kArguments | kTargets)) != 0 && object.kind != ObjectKind::DialogueEvent)
            return false;
        return (seen & kValues) == 0 || object.kind == ObjectKind::Argument;
    }

    template <class Once> bool ReadField(std::string_view key, ProjectFileObject& object, Once& once)
    {
        if (key == "id")
        {
            std::optional<GUID> id;
            if (!once(kId) || !Guid(id, false) || IsNullGuid(*id))
                return false;
            object.id = *id;
            return true;
        }
        if (key == "name")
        {
            std::string_view name;
            return once(kName) && String(name) && text::Utf8ToWide(name, object.name);
        }
        if (key == "kind")
        {
            std::string_view kind;
            if (!once(kKind) || !String(kind))
                return false;
            object.kindName = kind;
            object.kind = kind == "DialogueEvent" ? ObjectKind::DialogueEvent
                          : kind == "Argument"    ? ObjectKind::Argument
                                                  : ObjectKind::Plain;
            return true;
        }
        if (key == "parent")
        {
            if (!once(kParent) || !Guid(object.parent, true))
                return false;
            if (object.parent && IsNullGuid(*object.parent))
                object.parent.reset();
            return true;
        }
        if (key == "arguments")
            return once(kArguments) && GuidList([&](const std::optional<GUID>& id)
                                                { object.arguments.push_back(id.value_or(GUID_NULL)); });
        if (key == "targets")
            return once(kTargets) && GuidList(
                                         [&](std::optional<GUID> id)
                                         {
                                             if (id && IsNullGuid(*id))
                                                 id.reset();
                                             object.targets.push_back(id);
                                         });
        if (key == "values")
            return once(kValues) && GuidList([&](const std::optional<GUID>& id)
                                             { object.values.push_back(id.value_or(GUID_NULL)); });
        return false;
    }

    const char* m_p;
    const char* const m_end;
};

} // namespace

std::optional<ProjectFile> ReadProjectQuickly(std::string_view json)
{
    return QuickReader(json).Read();
}

} // namespace app
