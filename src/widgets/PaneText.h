#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QVector>

class QTextDocument;

// How a text pane (the reading pane, the results window's text) holds a
// stored text. The pane's document pays for every paragraph it holds (a
// 50 MB text of 1.4 million lines took 9 s and 700 MB as one paragraph a
// line), so the lines of a long text are kept together in fewer paragraphs,
// joined by soft line breaks (U+2028). A paragraph costs its whole length
// to lay out (one line of 17 million characters: 40 s and 700 MB), so a
// line longer than LongestPiece is held in pieces, each a paragraph of its
// own, marked as a piece. The pane reads back the text as stored: text(),
// copying (TextPane), printing and the marks' positions see each soft
// break as the line break it stands for and no break between pieces.
namespace PaneText {

// Paragraphs a pane holds at most before lines are joined; a text of fewer
// lines is held one paragraph a line.
constexpr int MostParagraphs = 10000;
// Characters of one line a paragraph holds at most.
constexpr int LongestPiece = 4000;

// The pane's form of a stored text (CR LF or LF line breaks): line breaks
// as in TextHelpers::paneFromStored, past MostParagraphs lines grouped in
// equal runs joined by soft line breaks. Long lines are not cut here.
QString fromStored(const QString &stored);

// Replaces the pane's text with the stored text, under the wait cursor.
void show(QPlainTextEdit *pane, const QString &stored);

// The text from document position `from` to `to`, line breaks as LF,
// nothing between the pieces of a line, every other character as it is.
QString between(const QTextDocument *document, int from, int to);
// The pane's whole text, as between().
QString text(const QPlainTextEdit *pane);

// Where the pieces of long lines meet, as positions in text(): ascending.
QVector<int> pieceBreaks(const QTextDocument *document);
// The document position of the character at `at` in text().
int documentPosition(const QVector<int> &pieceBreaks, int at);

} // namespace PaneText

// A text pane whose copy (and drag) carries the text as PaneText::between
// reads it: the pieces of a long line come back as the one line.
class TextPane : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData *createMimeDataFromSelection() const override;
};
