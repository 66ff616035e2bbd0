// The index's values as Qt SQL binds and returns them: a path as the bytes
// it is made of (a path need not be UTF-8), the other texts as UTF-8.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace vambrio::library {

inline QByteArray Bytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string Std(const QByteArray& b) { return std::string(b.constData(), static_cast<size_t>(b.size())); }
inline QString Text(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace vambrio::library
