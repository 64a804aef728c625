#include "common/Labels.h"


#include <algorithm>

namespace Labels {

namespace {

constexpr char16_t FirstStrongIsolate = 0x2068;
constexpr char16_t PopDirectionalIsolate = 0x2069;

bool turnsDirection(QChar c)
{
    switch (c.direction()) {
    case QChar::DirR: case QChar::DirAL: case QChar::DirRLE: case QChar::DirRLO: case QChar::DirLRE:
    case QChar::DirLRO: case QChar::DirPDF: case QChar::DirRLI: case QChar::DirLRI: case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        return c == QChar(0x200E) || c == QChar(0x200F) || c == QChar(0x061C); // the marks
    }
}

} // namespace

// Line breaks become spaces; a text that turns the writing direction is
// isolated, its own open isolates closed first, so nothing of it reaches
// past its end (the code beside it).
QString shown(const QString &text)
{
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (char16_t brk : {u'\r', u'\n', u'\x0b', u'\x0c', u'\x85', u'\x2028', u'\x2029'})
        line.replace(QChar(brk), QLatin1Char(' '));
    if (std::none_of(line.cbegin(), line.cend(), turnsDirection))
        return line;
    int open = 0;
    for (QChar c : std::as_const(line)) {
        if (c.direction() == QChar::DirRLI || c.direction() == QChar::DirLRI || c.direction() == QChar::DirFSI)
            ++open;
        else if (c.direction() == QChar::DirPDI && open > 0)
            --open;
    }
    return QChar(FirstStrongIsolate) + line + QString(open, QChar(PopDirectionalIsolate))
        + QChar(PopDirectionalIsolate);
}

QString chapterLabel(const QString &name, const QString &code)
{
    return shown(name) + QLatin1Char('[') + shown(code) + QLatin1Char(']');
}

QString rootLabel(const QString &bookName)
{
    return chapterLabel(bookName, RootCode);
}

QString articleLabel(const QString &title, const QString &code)
{
    return shown(title) + QLatin1String("[N") + shown(code) + QLatin1Char(']');
}

QString resultLabel(const QString &chapterName, const QString &chapterCode)
{
    return articleLabel(chapterName, chapterCode);
}

} // namespace Labels
