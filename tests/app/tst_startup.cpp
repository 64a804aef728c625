#include "TestBook.h"
#include "app/EbookApplication.h"
#include "app/SplashUnit.h"
#include "app/StartUp.h"
#include "browser/fm_ywzx.h"
#include "common/AppError.h"
#include "common/AppInfo.h"
#include "widgets/GlyphWarmup.h"
#include "data/ywzxDM.h"

#include <QTreeWidgetItem>

#include <QLabel>
#include <QPushButton>
#include <QtTest>

// The application shell: the general error report, the start-up failure
// box, the splash window and the creation of the main window.
class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void handlerErrorsReachTheGeneralReport();
    void applicationErrorText();
    void chineseButtonsAndSongFace();
    void splashWindow();
    void mainWindowCaptionFromTheBook();
    void bookWithoutRootRow();
    void tableLessBookStillGetsItsWindow();
    void splashTimeLoadsCommonGlyphs();
};

// The last resort: an error that leaves an event handler reaches the
// general report in the application's notify, and the program goes on.
// (Connected handlers report their own: tst_handlers.)
void TestStartUp::handlerErrorsReachTheGeneralReport()
{
    QVERIFY(qobject_cast<EbookApplication *>(qApp));
    struct Failing : QObject {
        int events = 0;
        bool event(QEvent *event) override
        {
            if (event->type() != QEvent::User)
                return QObject::event(event);
            if (++events == 1)
                throw AppError(AppError::Database, "no such table: ywzx_ywlb");
            return true;
        }
    } receiver;
    ScriptedBoxes boxes;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &event);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, AppInfo::Title());
    QCOMPARE(boxes.shown[0].text, QString("no such table: ywzx_ywlb."));
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(QCoreApplication::sendEvent(&receiver, &event));
    QCOMPARE(receiver.events, 2);
    QCOMPARE(boxes.shown.size(), 1);
}

void TestStartUp::applicationErrorText()
{
    const AppError error(AppError::BookFile, "找不到书库文件：\n/x/data/ebook.mdb\nebook-tool demo /x/data/ebook.mdb");
    QCOMPARE(StartUp::applicationErrorText(error, "打开书库"),
             QString("打开书库时出错（EBookFileError）：\n" + error.message())); // a command to copy ends it
    const AppError engine(AppError::Database, "file is not a database");
    QCOMPARE(StartUp::applicationErrorText(engine, "x"), QString("x时出错（EDatabaseError）：\nfile is not a database."));
    ScriptedBoxes boxes;
    StartUp::showApplicationError(error, "opening the book file");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, QString("Application Error"));
    QCOMPARE(boxes.shown[0].parent, nullptr);
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
}

void TestStartUp::chineseButtonsAndSongFace()
{
    EbookApplication::installChineseTranslations(*qApp);
    EbookApplication::installFontSubstitutions();
    QMessageBox box(QMessageBox::Question, "t", "x", QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("取消"));
    QVERIFY(box.button(QMessageBox::Yes)->text().startsWith("是"));
    QVERIFY(box.button(QMessageBox::No)->text().startsWith("否"));
    QCOMPARE(QFontInfo(QFont("宋体")).family(), QString("Noto Serif CJK SC"));
    QCOMPARE(QFontInfo(QFont("SimSun")).family(), QString("Noto Serif CJK SC"));
}

void TestStartUp::splashWindow()
{
    TSplashForm splash;
    splash.Labelinfo->setText(StartUp::ConnectingText());
    splash.showPainted();
    QVERIFY(splash.isVisible());
    QCOMPARE(splash.size(), QSize(708, 207));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(splash.Image1->geometry(), QRect(2, 2, 704, 203));
    QCOMPARE(splash.Image1->pixmap().size(), QSize(840, 224)); // the JPEG was decoded
    QCOMPARE(splash.Labelinfo->pos(), QPoint(16, 187));
    QCOMPARE(splash.Labelinfo->text(), QString("正在连接数据库，可能需要几分钟。请稍候..."));
    QCOMPARE(splash.Labelinfo->font().pixelSize(), 12);
}

static std::unique_ptr<TywzxDMF> openDataModule(const QString &path)
{
    auto dm = std::make_unique<TywzxDMF>();
    dm->ydconn.setDatabaseFile(path);
    dm->ydconn.open();
    ywzxDMF = dm.get();
    return dm;
}

void TestStartUp::mainWindowCaptionFromTheBook()
{
    TestBook book("唐诗宋词选读");
    auto dm = openDataModule(book.path());
    TSplashForm splash;
    splash.show();
    ScriptedBoxes boxes;
    std::unique_ptr<Tywzxform> window(Tywzxform::create(nullptr, &splash));
    QVERIFY(!splash.isVisible());
    QCOMPARE(window->objectName(), QString("ywzxform"));
    QCOMPARE(window->windowTitle(), QString("唐诗宋词选读[00000]"));
    QCOMPARE(window->rootNode()->text(0), QString("唐诗宋词选读[00000]"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartUp::bookWithoutRootRow()
{
    TestBook book("");
    auto dm = openDataModule(book.path());
    ScriptedBoxes boxes;
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    QCOMPARE(window->windowTitle(), QString("[00000]"));
    QVERIFY(boxes.shown.isEmpty());
}

void TestStartUp::tableLessBookStillGetsItsWindow()
{
    TestBook book;
    book.exec("drop table ywzx_ywlb");
    auto dm = openDataModule(book.path());
    ScriptedBoxes boxes;
    std::unique_ptr<Tywzxform> window(Tywzxform::create());
    QVERIFY(window);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].caption, QString("墨川电子阅读系统"));
    QVERIFY2(boxes.shown[0].text.contains("no such table: ywzx_ywlb"), qPrintable(boxes.shown[0].text));
    QVERIFY(boxes.shown[0].text.endsWith('.'));
    QCOMPARE(window->windowTitle(), QString("澜州省档案馆机读室"));
    QCOMPARE(window->rootNode()->text(0), QString("澜州省档案馆电子书刊[00000]"));
}

// The splash's time draws the common characters ahead of the first
// chapter shown; without the code pages (a Qt without its codecs) only ASCII
// would be drawn, and nothing but a slow first chapter would tell.
void TestStartUp::splashTimeLoadsCommonGlyphs()
{
    const QString common = GlyphWarmup::commonCharacters();
    const QString rarer = GlyphWarmup::rarerCharacters();
    QVERIFY(common.contains(u'的') && common.contains(u'。') && common.contains(u'座')); // 座: the last common one
    QVERIFY(rarer.contains(u'們') && rarer.contains(u'齄'));
    QCOMPARE(GlyphWarmup::draw(EbookApplication::readingFont(), common.left(100), QDeadlineTimer::Forever, 4), 100);
}

int main(int argc, char **argv)
{
    EbookApplication app(argc, argv);
    TestStartUp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
