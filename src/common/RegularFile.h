#pragma once

#include <QString>

// Opening a FIFO or a device for reading can block for ever (a FIFO waits
// for a writer), so every file the program reads whole is checked first.
namespace RegularFile {

// True when path names a regular file (after following symbolic links).
// Looks at the file's kind only: never opens it, never blocks.
bool check(const QString &path);

// The reason given when check() fails.
QString refusal();

} // namespace RegularFile
