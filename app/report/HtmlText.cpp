#include "app/report/HtmlText.h"

namespace app::report
{

void AppendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text)
    {
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
}

std::string Escaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text);
    return out;
}

void AppendScriptJson(std::string& out, std::string_view json)
{
    // A '<' stands only inside json strings, where its escape means the same character.
    for (const char c : json)
    {
        if (c == '<')
            out += "\\u003c";
        else
            out += c;
    }
}

} // namespace app::report
