#pragma once

#include "common/Seam.h"

#include <QString>

// A copy of a book file as one state of the book, taken while others read
// and save it: SQLite's online backup copies the pages under one read lock,
// so a save either is wholly in the copy or not at all.
namespace BookBackup {

// AppError kinds of write(): the book stayed locked by a writer beyond the
// busy timeout; the target exists already.
constexpr const char *Busy = "EBookBusyError";
constexpr const char *Exists = "EBookExistsError";

// Copies the book file into a new file at target, written beside it and
// renamed into place at the end; never replaces a file and leaves no half
// copy behind. Returns the copy's size in bytes. Throws AppError.
qint64 write(const QString &book, const QString &target);

// Flushes an open file to the disk (fsync): 0, or -1 with errno set. A test
// plays a failing disk through it.
extern Seam<int(int)> syncFile;

} // namespace BookBackup
