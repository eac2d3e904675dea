#pragma once
// File names between Qt and the core, which speaks the file system's bytes.
#include <QFile>
#include <QString>
#include <string>

inline std::string fileSystemName(const QString& path) { return QFile::encodeName(path).toStdString(); }
// A core message (which quotes file names in file-system bytes) for the user.
inline QString displayText(const std::string& text) { return QFile::decodeName(QByteArray::fromStdString(text)); }
