// The chart editor's looks: a fixed-width font, so that bars written under
// one another line up, and colours for sections, chords, bar lines and
// comments; the place of an error underlined. And the error itself, whole.
#pragma once

#include <QSyntaxHighlighter>
#include <QString>
#include <optional>

class QLabel;
class QPlainTextEdit;

namespace vambrio {

struct ChartTextPlace {
  int line = 0;    // 1-based
  int column = 0;  // 1-based
};

// "line 3, column 7: ..." names a place; other texts none.
std::optional<ChartTextPlace> PlaceOfChartError(const QString& problem);

class ChartHighlighter final : public QSyntaxHighlighter {
 public:
  explicit ChartHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {}
  // The place to underline (none: nothing).
  void MarkError(std::optional<ChartTextPlace> place);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  std::optional<ChartTextPlace> error_;
};

// The editor in the system's fixed-width font, highlighted.
ChartHighlighter* SetUpChartEditor(QPlainTextEdit* editor);

// A status text that may be long: as much as fits is shown, the whole of it
// in the tool tip; the label never widens the window or moves its layout.
void ShowWholeInToolTip(QLabel* label, const QString& text);

}  // namespace vambrio
