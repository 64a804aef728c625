#include "app/StartUp.h"

#include "app/EbookApplication.h"
#include "app/SplashUnit.h"
#include "browser/fm_ywzx.h"
#include "common/AppError.h"
#include "common/AppInfo.h"
#include "common/MessageBoxes.h"
#include "data/BookFile.h"
#include "data/ywzxDM.h"

#include <QLabel>
#include <QLocale>
#include <QThread>
#include <memory>

namespace StartUp {

QString applicationErrorText(const AppError &error, const QString &where)
{
    QString message = error.message();
    if (!message.endsWith(QLatin1Char('.')))
        message += QLatin1Char('.');
    return QStringLiteral("Exception %1 in module ebook-reader while %2.\n%3").arg(error.kind(), where, message);
}

void showApplicationError(const AppError &error, const QString &where)
{
    MessageBoxes::show({nullptr, QStringLiteral("Application Error"), applicationErrorText(error, where),
                        QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok});
}

// Dates follow the user's regional settings; a machine without any (the C
// locale) gets the Chinese ones, the language of the whole interface.
static void useChineseLocaleWhenUnset()
{
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}

static void showSplash(TSplashForm &splash)
{
    SplashForm = &splash;
    splash.Labelinfo->setText(ConnectingText);
    splash.showPainted();
    // The splash stays for two seconds however fast the book opens.
    QThread::msleep(2000);
}

int run(QApplication &app)
{
    useChineseLocaleWhenUnset();
    EbookApplication::installChineseTranslations(app);
    EbookApplication::installApplicationFont();
    TSplashForm splash;
    showSplash(splash);
    QApplication::setApplicationName(AppInfo::Title);

    QString where = QStringLiteral("opening the book file");
    try {
        auto dataModule = std::make_unique<TywzxDMF>();
        ywzxDMF = dataModule.get();
        dataModule->ydconn.setDatabaseFile(BookFile::pathForThisProgram());
        dataModule->ydconn.open();
        where = QStringLiteral("creating the main window");
        std::unique_ptr<Tywzxform> window(Tywzxform::create());
        ywzxform = window.get();
        splash.hide();
        window->showMaximized();
        const int code = app.exec();
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
