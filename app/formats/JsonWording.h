// Wording the faults of JSON input for a message: texts shown so that they cannot break the line or
// the terminal, and the reason a document is malformed, where the fast parser gives only a kind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app
{

// U+0000..U+001F, U+007F and U+0080..U+009F: characters that would cut or split a line of text.
bool IsControlCharacter(char32_t c);

// The text with control characters written as \u escapes, bytes that are not UTF-8 as \x escapes,
// cut after `limit` characters.
std::string Printable(std::string_view text, std::size_t limit = std::string_view::npos);
// The text in quotes for a message, escaped as JSON would and as Printable does, cut after a few
// dozen characters.
std::string Quoted(std::string_view text);

// Where and why a JSON document is malformed, found by reading it again with a general parser that
// says more than the fast one. Read only after the fast parser refused the document.
struct JsonFault
{
    // The byte at which the reader stopped, from 1; 0 when the fault has no position.
    std::size_t byte = 0;
    // "line 2, column 65" when the position is known.
    std::string where;
    // Printable.
    std::string reason;
    // The document was complete and more text followed it.
    bool afterDocument = false;
    // The key of the top-level object whose value holds the fault, when known.
    std::string topKey;
};
// Nullopt when the general parser takes the document (a limit of the fast one was reached).
std::optional<JsonFault> FindJsonFault(std::string_view json);

} // namespace app
