#pragma once

#include <QString>

namespace TextHelpers {

// Length of the text in GBK bytes (a Chinese character takes two); input
// limits of the dialogs count these. A character GBK cannot encode counts two.
int gbkByteLength(const QString &text);

// The text with every lone surrogate (half of a pair without its other
// half) replaced by U+FFFD; every other character stays as it is.
QString validText(const QString &text);

// The message of the general error report: a full stop is appended when the
// last character sorts after ".".
QString withFullStop(const QString &message);

// Lines joined by CR LF, the line break of every stored text.
QString joinCrLf(const QStringList &lines);

// A stored text (lines separated by CR LF) as a text pane shows it, and the
// pane's text as it is stored again: the one is the inverse of the other.
QString paneFromStored(const QString &stored);
QString storedFromPane(const QString &pane);

} // namespace TextHelpers
