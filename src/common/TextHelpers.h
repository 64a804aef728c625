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

// What a text document (a pane's or a dialog's text) holds in its raw text
// (QTextDocument::toRawText()) and toPlainText() rewrites as `plain`. Line
// breaks stand for the book's CR LF: Enter's paragraph separator and
// Shift+Enter's line separator (also the panes' joined lines, PaneText). The
// rest are characters of the text, stored and searched as they are: a
// no-break space is no blank. (Frame marks, which toPlainText() also
// rewrites, become paragraph separators when a text is put in.)
struct DocumentCharacter {
    char16_t raw;
    char16_t plain;
    bool lineBreak;
};
extern const DocumentCharacter DocumentCharacters[3];

// A line break of a document's raw text, or a plain LF.
bool isLineBreak(QChar c);

// A stored text (lines separated by CR LF) as a text pane shows it, and the
// pane's raw text as it is stored again, every line break of any kind as
// CR LF: the one is the inverse of the other.
QString paneFromStored(const QString &stored);
QString storedFromPane(const QString &pane);

} // namespace TextHelpers
