// Text read from a file (a chart's tokens, a style's section and file names,
// a file's own name) as it may be shown to a user: on the terminal, in a
// message or in a window. Control bytes, bytes that are no UTF-8 and the
// characters that turn the direction of a line are written as escapes
// (\e, \n, \x00, \u202E ...), so no file can clear a terminal, split a line of
// output in two or hide what it says.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vambrio {

// Escapes `raw`; when it shows more than `maxChars` characters it is cut
// there and ends with "…". 0: never cut.
std::string ShownText(std::string_view raw, size_t maxChars = 0);

// A token repeated in a message: escaped and cut to about 40 characters.
inline std::string ShownToken(std::string_view raw) { return ShownText(raw, 40); }

// ShownToken in double quotes.
inline std::string QuotedToken(std::string_view raw) { return "\"" + ShownToken(raw) + "\""; }

}  // namespace vambrio
