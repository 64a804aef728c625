#pragma once

#include <QString>

class QPlainTextEdit;

// How a text pane (the reading pane, the results window's text) holds a
// stored text. The pane's document pays for every paragraph it holds (a
// 50 MB text of 1.4 million lines took 9 s and 700 MB as one paragraph a
// line), so the lines of a long text are kept together in fewer paragraphs,
// joined by soft line breaks (U+2028). The pane shows and reads back the
// text as before: toPlainText(), copying and the marks' positions see each
// soft break as the line break it stands for.
namespace PaneText {

// Paragraphs a pane holds at most before lines are joined; a text of fewer
// lines is held one paragraph a line.
constexpr int MostParagraphs = 10000;

// The pane's form of a stored text (CR LF or LF line breaks): line breaks
// as in TextHelpers::paneFromStored, past MostParagraphs lines grouped in
// equal runs joined by soft line breaks.
QString fromStored(const QString &stored);

// Replaces the pane's text with the stored text, under the wait cursor.
void show(QPlainTextEdit *pane, const QString &stored);

} // namespace PaneText
