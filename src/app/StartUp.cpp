#include "app/StartUp.h"

#include "app/DesktopSettings.h"
#include "app/EbookApplication.h"
#include "app/LanguageMenu.h"
#include "app/SplashUnit.h"
#include "browser/fm_ywzx.h"
#include "common/AppError.h"
#include "common/AppInfo.h"
#include "widgets/GlyphWarmup.h"
#include "common/Language.h"
#include "widgets/MessageBoxes.h"
#include "common/TextHelpers.h"
#include "widgets/TextZoom.h"
#include "data/BookFile.h"
#include "data/ywzxDM.h"

#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <QCoreApplication>

namespace StartUp {

QString applicationErrorText(const AppError &error, const QString &where)
{
    // An engine's one-line message gets its full stop; the program's own
    // messages end in their punctuation or in a command to copy.
    const QString message = error.message();
    return QCoreApplication::translate("StartUp", "%1时出错（%2）：\n%3")
        .arg(where, error.kind(), message.contains(QLatin1Char('\n')) ? message : TextHelpers::withFullStop(message));
}

void showApplicationError(const AppError &error, const QString &where)
{
    // Started from a terminal, the reason stays readable after the box.
    std::fprintf(stderr, "ebook-reader: %s\n", qPrintable(applicationErrorText(error, where)));
    MessageBoxes::show({nullptr, QStringLiteral("Application Error"), applicationErrorText(error, where),
                        QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

void chooseLanguage(QApplication &app)
{
    const std::optional<QString> asked = Language::argument(QCoreApplication::arguments());
    const std::optional<Language::Choice> commandLine = asked ? Language::parse(*asked) : std::nullopt;
    if (commandLine)
        DesktopSettings::setLanguage(*commandLine);
    Language::install(app, Language::chosen(commandLine, DesktopSettings::language()));
    if (asked && !commandLine) // said in the language now installed
        std::fprintf(stderr, "ebook-reader: --lang: %s\n",
                     qPrintable(QCoreApplication::translate("StartUp", "只能是 en 或 zh")));
}

void warmGlyphs(QDeadlineTimer deadline)
{
    const QFont reading = EbookApplication::readingFont();
    GlyphWarmup::draw(reading, GlyphWarmup::commonCharacters(), deadline, 4);
    const QFont zoomed = TextZoom::zoomed(reading, DesktopSettings::paneZoom());
    if (zoomed != reading)
        GlyphWarmup::draw(zoomed, GlyphWarmup::commonCharacters(), deadline);
    GlyphWarmup::draw(reading, GlyphWarmup::rarerCharacters(), deadline);
}

static void showSplash(TSplashForm &splash)
{
    splash.Labelinfo->setText(ConnectingText());
    splash.showPainted();
    // The splash stays for two seconds however fast the book opens; they
    // load the glyphs of the common characters first.
    const QDeadlineTimer shown(2000);
    warmGlyphs(shown);
    QThread::msleep(std::max<qint64>(0, shown.remainingTime()));
}

int run(QApplication &app)
{
    chooseLanguage(app);
    EbookApplication::installApplicationFont();
    TSplashForm splash;
    showSplash(splash);
    QApplication::setApplicationName(AppInfo::Title());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app/mochuan-ebook.svg")));

    QString where = QCoreApplication::translate("StartUp", "打开书库");
    try {
        auto dataModule = std::make_unique<TywzxDMF>();
        ywzxDMF = dataModule.get();
        dataModule->ydconn.setDatabaseFile(BookFile::pathForThisProgram());
        dataModule->ydconn.open();
        where = QCoreApplication::translate("StartUp", "创建主窗口");
        std::unique_ptr<Tywzxform> window(Tywzxform::create(nullptr, &splash));
        ywzxform = window.get();
        LanguageMenu::add(*window);
        if (QCoreApplication::arguments().contains(QStringLiteral("--staff")))
            window->offerMaintenance();
        splash.hide();
        DesktopSettings::restore(*window);
        DesktopSettings::showMainWindow(*window);
        const int code = app.exec();
        DesktopSettings::save(*window);
        ywzxform = nullptr;
        window.reset();
        ywzxDMF = nullptr;
        return code;
    } catch (const AppError &error) {
        ywzxform = nullptr;
        ywzxDMF = nullptr;
        showApplicationError(error, where);
        return 1;
    } catch (const std::exception &error) {
        ywzxform = nullptr;
        ywzxDMF = nullptr;
        showApplicationError(AppError(QStringLiteral("Exception"), QString::fromLocal8Bit(error.what())), where);
        return 1;
    }
}

} // namespace StartUp
