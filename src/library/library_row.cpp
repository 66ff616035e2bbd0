#include "library/library_row.h"

#include <QStringDecoder>

namespace vambrio::library {

QString LibraryRow::FileName() const {
  qsizetype slash = path.lastIndexOf('/');
  return QString::fromUtf8(path.mid(slash + 1));
}

QString LibraryRow::Folder() const {
  qsizetype slash = path.lastIndexOf('/');
  if (slash <= 0) return slash == 0 ? QStringLiteral("/") : QString();
  return QString::fromUtf8(path.left(slash));
}

QString LibraryRow::Type() const {
  qsizetype slash = path.lastIndexOf('/');
  qsizetype dot = path.lastIndexOf('.');
  if (dot <= slash) return {};
  return QString::fromUtf8(path.mid(dot + 1)).toUpper();
}

bool IsValidUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = decoder.decode(bytes);
  return !decoder.hasError();
}

}  // namespace vambrio::library
