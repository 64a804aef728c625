#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QTreeWidgetItem;

// Where a passage comes from, on one line a reader can paste anywhere:
// "唐诗宋词选读 › 唐诗三百首 › 李白 [00014]（2026-01-01）".
namespace Citation {

// The names from the book's own (the root's) down to the record, its code,
// and its modification date when the record has one. Names and code read
// as the tree shows them: a line break in a name is a space.
QString line(const QStringList &namesFromRoot, const QString &code, const QDate &modified);
// The citation of a tree node, its date read from the book.
QString of(const QTreeWidgetItem *node);
// A passage copied with its citation on the line after it.
QString quoting(const QString &passage, const QString &citation);

} // namespace Citation
