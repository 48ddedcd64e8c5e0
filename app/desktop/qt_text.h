#pragma once

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace pixorale {

// The program's texts are UTF-8.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Paths cross between Qt and the core in the file system's own encoding.
inline std::string ToNativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

inline QString FromNativePath(std::string_view path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace pixorale
