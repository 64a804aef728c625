#pragma once

#include <QString>

// A record moved to another chapter: the one column that places it is
// written, nothing else (its text, date and author stay as they are). Runs
// on the data module's update query, inside the caller's transaction.
namespace ChapterStore {

// The chapter of this code now stands under parent.
void setParent(const QString &code, const QString &parent);

} // namespace ChapterStore

namespace ArticleStore {

// The article of this code now belongs to chapter.
void setChapter(const QString &code, const QString &chapter);

} // namespace ArticleStore
