#pragma once

#include <QString>

class QFileDevice;

// Opening a FIFO or a device for reading can block for ever (a FIFO waits
// for a writer), so every file the program reads whole is checked first.
namespace RegularFile {

// True when path names a regular file (after following symbolic links).
// Looks at the file's kind only: never opens it, never blocks.
bool check(const QString &path);

// True when path names something that is there and is no regular file (a
// FIFO, a device, a folder). False for a regular file and for a path that
// cannot be looked at: opening it then gives the reason.
bool otherKind(const QString &path);

// The reason given when check() fails.
QString refusal();

// Why path could not be opened for reading (file's open failed), in the
// program's words: no name, missing, not a file, no permission, else the system's.
QString whyNotOpened(const QString &path, const QFileDevice &file);

} // namespace RegularFile
