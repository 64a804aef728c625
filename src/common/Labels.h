#pragma once

#include <QCoreApplication>
#include <QString>

// The labels the tree and the results list show: a name with its code in
// brackets. A node keeps its record beside its label (BookNode); the label
// is only shown.
namespace Labels {

inline const QString RootCode = QStringLiteral("00000");
inline const QString Placeholder = QStringLiteral("EMPTY");
// The window caption and root name used until the book's own name is read.
inline QString DesignedCaption() { return QCoreApplication::translate("Labels", "澜州省档案馆机读室"); }
inline const QString DesignedRootName = QStringLiteral("澜州省档案馆电子书刊");

// A name or code as a label shows it: line breaks as spaces, and bidi
// controls and right-to-left text isolated. The stored value is unchanged.
QString shown(const QString &text);

QString chapterLabel(const QString &name, const QString &code);
QString rootLabel(const QString &bookName);
QString articleLabel(const QString &title, const QString &code);
// An item of the full-text results list: a chapter written as an article.
QString resultLabel(const QString &chapterName, const QString &chapterCode);

} // namespace Labels
