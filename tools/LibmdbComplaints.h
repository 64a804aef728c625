#pragma once

#include <QString>
#include <cstdio>
#include <functional>

namespace AccessImport {

// libmdb tells of a read error only by a line on stderr (and then goes on
// with what it could read). While a book is read, stderr goes to an
// unlinked file, so that any such line fails the import.
class LibmdbComplaints {
public:
    LibmdbComplaints();
    ~LibmdbComplaints();
    LibmdbComplaints(const LibmdbComplaints &) = delete;
    LibmdbComplaints &operator=(const LibmdbComplaints &) = delete;

    // The first line libmdb wrote, empty when it wrote none.
    QString firstLine() const;

    // Progress lines (AccessImport::Progress) go to the real stderr.
    using Report = std::function<void(const QString &table, int done, int total)>;
    Report around(const Report &progress) const;

private:
    int terminal_;
    std::FILE *capture_;
};

} // namespace AccessImport
