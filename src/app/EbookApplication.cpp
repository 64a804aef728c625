#include "app/EbookApplication.h"

#include "widgets/Handlers.h"
#include "common/Language.h"

#include <QApplication>
#include <QFont>

EbookApplication::EbookApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool EbookApplication::notify(QObject *receiver, QEvent *event)
{
    // The last resort only: every handler reports its own errors before they
    // reach Qt's frames (Handlers), since Qt does not support unwinding them.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        Handlers::reportCurrentError();
    }
    return false;
}

void EbookApplication::installChineseTranslations(QCoreApplication &app)
{
    Language::install(app, Language::Choice::Chinese);
}

void EbookApplication::installFontSubstitutions()
{
    // Noto Serif CJK SC sets 。，、 low at the left, as on the mainland, and
    // Latin letters and digits proportionally; UMing sets 。 centred and Latin
    // in a typewriter face, and stands in only where Noto has no glyph.
    const QStringList song = {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
    QFont::insertSubstitutions(QStringLiteral("宋体"), song);
    QFont::insertSubstitutions(QStringLiteral("SimSun"), song);
}

void EbookApplication::installApplicationFont()
{
    installFontSubstitutions();
    QApplication::setFont(readingFont());
}

QFont EbookApplication::readingFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}
