#include "markdown_pdf.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>
#include <vector>

namespace vambrio::manual {

namespace {

constexpr int kResolution = 300;     // dots per inch of the layout
constexpr qreal kImageUnitDpi = 96;  // image sizes in a text document are in 96-dpi pixels
const QColor kAccent(0x1c, 0x24, 0x63);
const QColor kCodeBackground(0xf1, 0xf3, 0xf8);

QFont BodyFont() {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setPointSizeF(10);
  return font;
}

// Headings in the accent colour, code blocks on a light ground.
void StyleBlocks(QTextDocument& doc) {
  QTextCursor cursor(&doc);
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    cursor.setPosition(block.position());
    QTextBlockFormat format = block.blockFormat();
    if (format.headingLevel() > 0) {
      cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
      QTextCharFormat heading;
      heading.setForeground(kAccent);
      cursor.mergeCharFormat(heading);
      format.setTopMargin(format.headingLevel() <= 2 ? 14 : 8);
      format.setBottomMargin(4);
      cursor.setBlockFormat(format);
    } else if (format.hasProperty(QTextFormat::BlockCodeLanguage) || format.hasProperty(QTextFormat::BlockCodeFence)) {
      format.setBackground(kCodeBackground);
      cursor.setBlockFormat(format);
      cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
      QTextCharFormat code;
      code.setFontPointSize(8.5);
      cursor.mergeCharFormat(code);
    }
  }
}

// Tables with thin ruled cells and a shaded header row.
void StyleTables(QTextDocument& doc) {
  for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
    auto* table = qobject_cast<QTextTable*>(frame);
    if (!table) continue;
    QTextTableFormat format = table->format();
    format.setBorder(kResolution / 200.0);  // a thin rule, about a tenth of a millimetre
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(QColor(0xb0, 0xb4, 0xc4));
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(4);
    format.setHeaderRowCount(1);
    table->setFormat(format);
    for (int column = 0; column < table->columns(); ++column) {
      QTextTableCellFormat header = table->cellAt(0, column).format().toTableCellFormat();
      header.setBackground(kCodeBackground);
      table->cellAt(0, column).setFormat(header);
    }
  }
}

struct ImageRef {
  int position;
  QTextImageFormat format;
};

std::vector<ImageRef> FindImages(const QTextDocument& doc) {
  std::vector<ImageRef> images;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.isValid() && fragment.charFormat().isImageFormat()) {
        for (int i = 0; i < fragment.length(); ++i) {
          images.push_back({fragment.position() + i, fragment.charFormat().toImageFormat()});
        }
      }
    }
  }
  return images;
}

// Loads every image the document names (relative to `baseDir`) and scales the
// wide ones down to the width of the text. An image that cannot be read is
// replaced by a note that names it, so that a missing picture never stops
// the build; the manual's test counts the pictures in the PDF.
void PlaceImages(QTextDocument& doc, const QString& baseDir, qreal maxWidth, QStringList& warnings) {
  QTextCursor cursor(&doc);
  std::vector<ImageRef> images = FindImages(doc);
  // From the end, so that replacing one by a note keeps the positions before it.
  for (auto ref = images.rbegin(); ref != images.rend(); ++ref) {
    const QString name = ref->format.name();
    const QUrl url(name);
    const QString path = url.isRelative() ? QDir(baseDir).filePath(name) : url.toLocalFile();
    const QImage image(path);
    cursor.setPosition(ref->position);
    cursor.setPosition(ref->position + 1, QTextCursor::KeepAnchor);
    if (image.isNull()) {
      warnings << QStringLiteral("cannot read the image %1").arg(path);
      QTextCharFormat note;
      note.setFontItalic(true);
      cursor.insertText(QStringLiteral("[picture missing: %1]").arg(name), note);
      continue;
    }
    doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
    const qreal width = qMin<qreal>(image.width(), maxWidth);
    ref->format.setWidth(width);
    ref->format.setHeight(width * image.height() / image.width());
    cursor.setCharFormat(ref->format);
  }
}

void DrawFooter(QPainter& painter, const QRectF& area, int page, int pages) {
  painter.save();
  QFont font = BodyFont();
  font.setPointSizeF(8);
  painter.setFont(font);
  painter.setPen(QColor(0x66, 0x66, 0x66));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Vambrio"));
  painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(page).arg(pages));
  painter.restore();
}

}  // namespace

bool WritePdf(const PdfJob& job, QStringList& warnings, QString& error) {
  QPdfWriter writer(job.output);
  writer.setResolution(kResolution);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(20, 18, 20, 14), QPageLayout::Millimeter));
  writer.setTitle(job.title);
  writer.setCreator(QStringLiteral("vambrio-manual-pdf"));

  const qreal width = writer.width();
  const qreal footer = kResolution * 0.35;  // a third of an inch below the text
  const qreal height = writer.height() - footer;

  QTextDocument doc;
  doc.documentLayout()->setPaintDevice(&writer);
  doc.setDefaultFont(BodyFont());
  doc.setDocumentMargin(0);
  doc.setMarkdown(job.markdown, QTextDocument::MarkdownDialectGitHub);
  StyleBlocks(doc);
  StyleTables(doc);
  PlaceImages(doc, job.baseDir, width * kImageUnitDpi / writer.logicalDpiX(), warnings);
  doc.setPageSize(QSizeF(width, height));

  QPainter painter;
  if (!painter.begin(&writer)) {
    error = QStringLiteral("cannot write %1").arg(job.output);
    return false;
  }
  const int pages = doc.pageCount();
  for (int page = 0; page < pages; ++page) {
    if (page > 0) writer.newPage();
    painter.save();
    painter.translate(0, -page * height);
    // The page's own lines only: a picture the layout moved to the top of the
    // next page touches this page's foot and would be drawn here too.
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, page * height, width, height - 1);
    painter.setClipRect(context.clip);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
    DrawFooter(painter, QRectF(0, height, width, footer), page + 1, pages);
  }
  return painter.end();
}

}  // namespace vambrio::manual
