#include "widgets/GlyphWarmup.h"

#include <QByteArray>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QStringDecoder>
#include <QWidget>

namespace GlyphWarmup {

namespace {

// Characters drawn per paint: one line of the warm-up widget.
constexpr int LineLength = 48;

// A widget never shown: rendering it paints through the widget path, so the
// glyph images land in the cache the windows draw from (drawn on an image,
// they would be kept apart whenever the screen's format differs).
class Line : public QWidget {
public:
    QString text;
    qreal offset = 0; // a fraction of a pixel

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.drawText(QPointF(2 + offset, 2 + QFontMetricsF(font()).ascent()), text);
    }
};

// The two-byte codes lead..last of a double-byte code page, each lead byte
// with the trail bytes in trails, decoded; cells the code page leaves empty
// are dropped (a private-use character has no glyph: drawing one would
// only search the fallback fonts).
QString decoded(const char *codec, int firstLead, int lastLead, int lastTrailOfLast,
                std::initializer_list<std::pair<int, int>> trails)
{
    QStringDecoder decoder(codec, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString();
    QByteArray bytes;
    for (int lead = firstLead; lead <= lastLead; ++lead)
        for (const auto &[first, last] : trails)
            for (int trail = first; trail <= last && (lead < lastLead || trail <= lastTrailOfLast); ++trail) {
                bytes += char(lead);
                bytes += char(trail);
            }
    QString text = decoder.decode(bytes);
    text.removeIf([](QChar c) { return c == QChar::ReplacementCharacter || c.category() == QChar::Other_PrivateUse; });
    return text;
}

QString gb2312(int firstRow, int lastRow, int lastCellOfLast = 0xFE)
{
    return decoded("GB18030", firstRow, lastRow, lastCellOfLast, {{0xA1, 0xFE}});
}

QString big5(int firstLead, int lastLead, int lastTrailOfLast)
{
    return decoded("Big5", firstLead, lastLead, lastTrailOfLast, {{0x40, 0x7E}, {0xA1, 0xFE}});
}

} // namespace

QString commonCharacters()
{
    QString characters;
    for (char16_t c = 0x21; c < 0x7F; ++c)
        characters += QChar(c);
    return characters + gb2312(0xA1, 0xA1) + gb2312(0xA3, 0xA3) + gb2312(0xA9, 0xA9) + gb2312(0xB0, 0xD7, 0xF9);
}

QString rarerCharacters()
{
    return big5(0xA1, 0xA3, 0xBF) + big5(0xA4, 0xC6, 0x7E) + gb2312(0xD8, 0xF7, 0xFE);
}

int draw(const QFont &font, const QString &characters, QDeadlineTimer deadline, int positions)
{
    Line line;
    line.setFont(font);
    const QFontMetrics metrics(font);
    int drawn = 0;
    for (qsizetype at = 0; at < characters.size() && !deadline.hasExpired(); at += LineLength) {
        line.text = characters.mid(at, LineLength);
        // Wide enough for the whole line: a glyph outside is not drawn.
        line.resize(metrics.horizontalAdvance(line.text) + 8, metrics.height() + 4);
        for (int position = 0; position < positions; ++position) {
            line.offset = qreal(position) / positions;
            line.grab();
        }
        drawn += int(line.text.size());
    }
    return drawn;
}

} // namespace GlyphWarmup
