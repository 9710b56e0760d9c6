#include "app/SystemMessage.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

QString FileFailureMessage(const QString& path) {
    // QFile refuses to open a folder by itself, without a system call, so
    // errno still holds whatever an earlier call left there.
    const int error = QFileInfo(path).isDir() ? EISDIR : errno;
    return QString::fromLocal8Bit(std::strerror(error));
}
