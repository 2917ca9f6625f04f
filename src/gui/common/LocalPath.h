#pragma once

#include <string>

#include <QFile>
#include <QString>

namespace ombrel {

// A file name from a dialog as the core's file functions open it: in the
// file system's own encoding.
inline std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace ombrel
