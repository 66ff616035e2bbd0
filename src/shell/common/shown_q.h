// Text from a file as the windows show it: the same escapes the terminal
// gets (\e, \n, \x00, bytes that are no UTF-8, direction controls), so a
// style, chart or file name can neither hide what a label says nor put
// control bytes into a widget.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "model/shown_text.h"

namespace vambrio {

// One line of text from a file, escaped.
inline QString ShownQ(std::string_view raw) { return QString::fromStdString(ShownText(raw)); }

// A text the window already holds as a QString (read through Qt), escaped.
inline QString ShownQText(const QString& text) { return ShownQ(text.toStdString()); }

// The name of a file (its path's last part), escaped.
inline QString ShownFileName(std::string_view path) {
  const size_t slash = path.rfind('/');
  return ShownQ(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// A message of several lines: each line escaped, the line breaks kept.
// Escaping is idempotent, so a message whose names were escaped already
// comes out unchanged.
inline std::string ShownLines(std::string_view raw) {
  std::string shown;
  for (size_t start = 0;;) {
    const size_t end = raw.find('\n', start);
    shown += ShownText(raw.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return shown;
    shown += '\n';
    start = end + 1;
  }
}

// ShownLines of a text the window holds as a QString.
inline QString ShownLinesQ(const QString& text) { return QString::fromStdString(ShownLines(text.toStdString())); }

}  // namespace vambrio
