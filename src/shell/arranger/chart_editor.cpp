#include "shell/arranger/chart_editor.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextDocument>
#include <algorithm>

namespace vambrio {

std::optional<ChartTextPlace> PlaceOfChartError(const QString& problem) {
  static const QRegularExpression place(QStringLiteral(R"(^line (\d+), column (\d+):)"));
  const QRegularExpressionMatch m = place.match(problem);
  if (!m.hasMatch()) return std::nullopt;
  return ChartTextPlace{m.captured(1).toInt(), m.captured(2).toInt()};
}

void ChartHighlighter::MarkError(std::optional<ChartTextPlace> place) {
  error_ = place;
  rehighlight();
}

// Sections in brackets, bar lines and repeats, comments from '#', and every
// other word a chord; the error's word underlined.
void ChartHighlighter::highlightBlock(const QString& text) {
  QTextCharFormat section, bar, comment, chord;
  section.setForeground(QColor(0, 80, 170));
  section.setFontWeight(QFont::Bold);
  bar.setForeground(QColor(140, 140, 140));
  bar.setFontWeight(QFont::Bold);
  comment.setForeground(QColor(110, 130, 110));
  comment.setFontItalic(true);
  chord.setForeground(QColor(20, 110, 40));
  for (int i = 0; i < text.size();) {
    const QChar c = text[i];
    int end = i + 1;
    if (c == '#') {
      setFormat(i, static_cast<int>(text.size()) - i, comment);
      break;
    }
    if (c == '[') {
      end = static_cast<int>(text.indexOf(']', i));
      end = end < 0 ? static_cast<int>(text.size()) : end + 1;
      setFormat(i, end - i, section);
    } else if (c == '|' || c == '%') {
      setFormat(i, 1, bar);
    } else if (!c.isSpace()) {
      while (end < text.size() && !text[end].isSpace() && text[end] != '|' && text[end] != '[' && text[end] != '#') ++end;
      setFormat(i, end - i, chord);
    }
    i = end;
  }
  if (error_ && error_->line == currentBlock().blockNumber() + 1) {
    const int from = std::clamp(error_->column - 1, 0, static_cast<int>(text.size()));
    int to = from;
    while (to < text.size() && !text[to].isSpace()) ++to;
    QTextCharFormat wrong = format(from);
    wrong.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    wrong.setUnderlineColor(Qt::red);
    setFormat(from, std::max(1, to - from), wrong);
  }
}

ChartHighlighter* SetUpChartEditor(QPlainTextEdit* editor) {
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setFixedPitch(true);
  editor->setFont(fixed);
  editor->setLineWrapMode(QPlainTextEdit::NoWrap);
  return new ChartHighlighter(editor->document());
}

void ShowWholeInToolTip(QLabel* label, const QString& text) {
  label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
  label->setMinimumWidth(0);
  label->setText(text);
  label->setToolTip(text);
}

}  // namespace vambrio
