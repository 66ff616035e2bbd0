// vambrio-manual-pdf MANUAL.md OUT.pdf: writes the user manual as a PDF.
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "markdown_pdf.h"

int main(int argc, char** argv) {
  // The tool never shows a window; it needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: vambrio-manual-pdf MANUAL.md OUT.pdf\n");
    return 2;
  }
  const QString input = QString::fromLocal8Bit(argv[1]);
  QFile file(input);
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "vambrio-manual-pdf: cannot read %s\n", argv[1]);
    return 1;
  }
  vambrio::manual::PdfJob job;
  job.markdown = QString::fromUtf8(file.readAll());
  job.baseDir = QFileInfo(input).absolutePath();
  job.output = QString::fromLocal8Bit(argv[2]);
  job.title = QStringLiteral("Vambrio manual");
  QStringList warnings;
  QString error;
  const bool written = vambrio::manual::WritePdf(job, warnings, error);
  for (const QString& warning : warnings) std::fprintf(stderr, "vambrio-manual-pdf: warning: %s\n", qPrintable(warning));
  if (!written) {
    std::fprintf(stderr, "vambrio-manual-pdf: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
