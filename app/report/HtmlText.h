// Text placed into the report page.
#pragma once

#include <string>
#include <string_view>

namespace app::report
{

// Escapes &, <, >, " and ' so that the text stands as itself in element content and attribute values.
void AppendEscaped(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);

// A json document made safe inside a <script> element: no '<' can open "</script" or "<!--".
void AppendScriptJson(std::string& out, std::string_view json);

} // namespace app::report
