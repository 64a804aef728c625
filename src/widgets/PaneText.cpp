#include "widgets/PaneText.h"

#include "widgets/WaitCursor.h"
#include "common/TextHelpers.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace PaneText {

namespace {

// The block state of a paragraph that ends where the next piece of its
// line begins, not at a line break.
constexpr int PieceState = 0x50494543;
// How far back from a piece's longest end a cut looks for a reading pause.
constexpr int PauseReach = LongestPiece / 10;

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator || c == u'\r';
}

// After a stop, a comma or a space the cut looks like an end of a line.
bool isPause(QChar c)
{
    static const QString pauses = QStringLiteral("。，、；：！？）」』”’.,;:!?) \t");
    return pauses.contains(c);
}

// Where to cut a run of characters starting at `start` that goes on past
// its longest piece: after the last pause near the end, never inside a
// surrogate pair.
qsizetype cutAt(const QString &text, qsizetype start)
{
    const qsizetype longest = start + LongestPiece;
    for (qsizetype at = longest; at > longest - PauseReach; --at)
        if (isPause(text.at(at - 1)))
            return at;
    return text.at(longest - 1).isHighSurrogate() ? longest - 1 : longest;
}

// The text with a paragraph break between the pieces of every long line;
// `breaks` gets the breaks' positions in the returned text.
QString cutLongLines(const QString &text, QVector<int> &breaks)
{
    QString cut;
    qsizetype runStart = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        if (at < text.size() && !isLineBreak(text.at(at)))
            continue;
        qsizetype from = runStart;
        while (at - from > LongestPiece) {
            if (cut.isEmpty())
                cut.reserve(text.size() + text.size() / LongestPiece + 1);
            const qsizetype to = cutAt(text, from);
            cut.append(QStringView(text).mid(cut.size() - breaks.size(), to - (cut.size() - breaks.size())));
            breaks << int(cut.size());
            cut.append(u'\n');
            from = to;
        }
        runStart = at + 1;
    }
    if (breaks.isEmpty())
        return text;
    cut.append(QStringView(text).mid(cut.size() - breaks.size()));
    return cut;
}

bool endsPiece(const QTextBlock &block)
{
    return block.userState() == PieceState;
}

} // namespace

QString fromStored(const QString &stored)
{
    const qsizetype lines = stored.count(QLatin1Char('\n'));
    if (lines < MostParagraphs)
        return TextHelpers::paneFromStored(stored);
    // Equal runs of lines, so the pane's scroll bar (a paragraph not yet
    // laid out counts as one line) still moves evenly through the text.
    const qsizetype run = lines / MostParagraphs + 1;
    QString pane(stored.size(), Qt::Uninitialized);
    QChar *out = pane.data();
    qsizetype line = 0;
    for (const QChar *in = stored.constBegin(), *end = stored.constEnd(); in != end; ++in) {
        if (*in == u'\r' && in + 1 != end && in[1] == u'\n')
            ++in;
        if (*in == u'\n')
            *out++ = ++line % run ? QChar(QChar::LineSeparator) : QChar(u'\n');
        else
            *out++ = *in;
    }
    pane.truncate(out - pane.constData());
    return pane;
}

void show(QPlainTextEdit *pane, const QString &stored)
{
    WaitCursor wait; // converting and holding a long text takes a moment
    QVector<int> breaks;
    pane->setPlainText(cutLongLines(fromStored(stored), breaks));
    QTextDocument *document = pane->document();
    for (int at : breaks)
        document->findBlock(at).setUserState(PieceState);
}

QString between(const QTextDocument *document, int from, int to)
{
    QString text;
    text.reserve(qMax(0, to - from));
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to; block = block.next()) {
        const int start = block.position();
        const int end = start + block.length() - 1; // its paragraph break
        const QString own = block.text();
        text.append(QStringView(own).mid(qMax(from, start) - start, qMin(to, end) - qMax(from, start)));
        if (end < to && !endsPiece(block))
            text.append(u'\n');
    }
    return text.replace(QChar::LineSeparator, u'\n');
}

QString text(const QPlainTextEdit *pane)
{
    return between(pane->document(), 0, pane->document()->characterCount() - 1);
}

QVector<int> pieceBreaks(const QTextDocument *document)
{
    QVector<int> breaks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        if (endsPiece(block))
            breaks << block.position() + block.length() - 1 - int(breaks.size());
    return breaks;
}

int documentPosition(const QVector<int> &pieceBreaks, int at)
{
    // Each break before the character (one at its place included) stands before it.
    return at + int(std::upper_bound(pieceBreaks.cbegin(), pieceBreaks.cend(), at) - pieceBreaks.cbegin());
}

} // namespace PaneText

QMimeData *TextPane::createMimeDataFromSelection() const
{
    const QTextCursor selection = textCursor();
    auto *data = new QMimeData;
    data->setText(PaneText::between(document(), selection.selectionStart(), selection.selectionEnd()));
    return data;
}
