#include "widgets/ReadingLook.h"

#include "widgets/TextZoom.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace ReadingLook {

namespace {

bool nightChosen = false;
QString faceChosen;

const char DayPalette[] = "readingLookDayPalette";
const QColor NightGround(0x1E, 0x1F, 0x22);
const QColor NightText(0xD8, 0xD4, 0xC8);

} // namespace

bool marksOtherForms(const QString &family)
{
    static const QRegularExpression mark(QStringLiteral("\\b(TC|HK|TW|MO|JP|KR|Traditional)\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    return mark.match(family).hasMatch();
}

QStringList chineseFaces()
{
    QStringList mainland, others;
    for (const QString &family : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        (marksOtherForms(family) ? others : mainland) << family;
    }
    return mainland + others;
}

bool night() { return nightChosen; }
void setNight(bool night) { nightChosen = night; }
QString face() { return faceChosen; }
void setFace(const QString &family) { faceChosen = family; }

void applyScheme(QPlainTextEdit *pane, bool night)
{
    // The pane's own colours are kept the first time, to come back to.
    if (!pane->property(DayPalette).isValid())
        pane->setProperty(DayPalette, QVariant::fromValue(pane->palette()));
    QPalette colours = pane->property(DayPalette).value<QPalette>();
    if (night) {
        colours.setColor(QPalette::Base, NightGround);
        colours.setColor(QPalette::Text, NightText);
    }
    pane->setPalette(colours);
}

void dress(QPlainTextEdit *pane, TextZoom &zoom)
{
    applyScheme(pane, nightChosen);
    zoom.setFace(faceChosen);
}

} // namespace ReadingLook
