// Lays a Markdown document out on A4 pages and writes them as a PDF.
#pragma once

#include <QString>
#include <QStringList>

namespace vambrio::manual {

struct PdfJob {
  QString markdown;  // the text of the document
  QString baseDir;   // folder that relative image paths start from
  QString output;    // the PDF file to write
  QString title;     // the document title in the PDF's properties
};

// Writes the PDF. An image that cannot be read leaves a note in its place and
// a line in `warnings`. On failure (the PDF cannot be written) returns false
// and says why in `error`.
bool WritePdf(const PdfJob& job, QStringList& warnings, QString& error);

}  // namespace vambrio::manual
