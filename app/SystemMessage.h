#pragma once
// The operating system's text for a file call on a path that has just failed.
//
// Error messages about files carry the platform's own error text (strerror's),
// as the engine's do. Qt's QFile::errorString() is not used for them: it is
// translated with the program's Qt texts, so the same failure would read
// differently depending on where it was reported. Call it right after the
// failing call, before anything else can change errno.
#include <QString>

QString FileFailureMessage(const QString& path);
