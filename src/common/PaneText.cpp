#include "common/PaneText.h"

#include "common/WaitCursor.h"
#include "common/TextHelpers.h"

#include <QPlainTextEdit>

namespace PaneText {

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
    pane->setPlainText(fromStored(stored));
}

} // namespace PaneText
