// The English edition: every window and message box the reader opens shows
// its own texts in English (the book's content stays as it is written), and
// the language is chosen as the command line, the menu and the locale ask.
#include "TestBook.h"
#include "app/DesktopSettings.h"
#include "app/LanguageMenu.h"
#include "browser/BrowserFixture.h"
#include "browser/MC_About.h"
#include "widgets/Handlers.h"
#include "common/Language.h"
#include "maintenance/DialogScript.h"
#include "maintenance/ywlbwhFrm.h"
#include "maintenance/ywnrwhFrm.h"
#include "search/FindDialog.h"
#include "search/ShowjbywnrFrm.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <stdexcept>

namespace {

bool chinese(const QString &text)
{
    for (const QChar c : text)
        if ((c.unicode() >= 0x3000 && c.unicode() <= 0x9fff) || (c.unicode() >= 0xff00 && c.unicode() <= 0xffef))
            return true;
    return false;
}

void note(QStringList &found, const QObject *owner, const QString &text)
{
    if (chinese(text))
        found << owner->objectName() + QStringLiteral(": ") + text;
}

void noteActions(QStringList &found, const QWidget *widget)
{
    for (const QAction *action : widget->actions()) {
        note(found, action, action->text());
        note(found, action, action->toolTip());
    }
}

// The window's own texts with Chinese in them: titles, captions, buttons,
// actions, tooltips and accessible names (never what an edit, list or tree holds).
QStringList chineseOwnTexts(QWidget *window)
{
    QStringList found;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (const QWidget *w : widgets) {
        note(found, w, w->windowTitle());
        note(found, w, w->toolTip());
        note(found, w, w->accessibleName());
        noteActions(found, w);
        if (auto *label = qobject_cast<const QLabel *>(w))
            note(found, w, label->text());
        if (auto *button = qobject_cast<const QAbstractButton *>(w))
            note(found, w, button->text());
        if (auto *group = qobject_cast<const QGroupBox *>(w))
            note(found, w, group->title());
        if (auto *menu = qobject_cast<const QMenu *>(w))
            note(found, w, menu->title());
        if (auto *tree = qobject_cast<const QTreeWidget *>(w))
            note(found, w, tree->headerItem()->text(0));
    }
    return found;
}

QStringList chineseBoxTexts(const QList<MessageBoxes::Request> &boxes)
{
    QStringList found;
    for (const MessageBoxes::Request &box : boxes)
        if (chinese(box.caption + box.text))
            found << box.caption + QStringLiteral(" / ") + box.text;
    return found;
}

} // namespace

class TestEnglish : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void mainWindow();
    void toolbarCaptionsWhole();
    void aboutAndFindDialogs();
    void resultsWindow();
    void maintenanceDialogs();
    void messageBoxes();
    void languageFromLocale_data();
    void languageFromLocale();
    void commandLineAndRemembered();
    void menuRemembersChoice();

private:
    std::unique_ptr<TestBook> book;
    BrowserFixture f;
};

void TestEnglish::initTestCase()
{
    Language::install(*qApp, Language::Choice::English);
    QCOMPARE(Language::current(), Language::Choice::English);
}

void TestEnglish::init()
{
    book = std::make_unique<TestBook>("书");
    book->chapter(2, "00001", "第一章", "00000", "黄鹤楼正文");
    book->article("00001", "文一", "00001", "黄鹤楼");
    f.open(book->path());
    f.window->offerMaintenance();
    LanguageMenu::add(*f.window);
}

void TestEnglish::cleanup()
{
    f.window.reset();
    book.reset();
}

void TestEnglish::mainWindow()
{
    // The title names the chapter shown: the book's own words.
    QCOMPARE(f.window->windowTitle(), QString("书[00000]"));
    QStringList found = chineseOwnTexts(f.window.get());
    found.removeOne(f.window->objectName() + ": " + f.window->windowTitle());
    QCOMPARE(found, QStringList());
    QVERIFY(f.window->findChild<QMenu *>("LanguageMenu"));
}

// The English captions are longer than the designed buttons: each is shown
// whole, inside its band, without covering the next button.
void TestEnglish::toolbarCaptionsWhole()
{
    for (QWidget *band : {f.window->Panel6, f.window->nav_Panel, f.window->lbwh_Panel, f.window->nrwh_Panel}) {
        QList<QToolButton *> buttons = band->findChildren<QToolButton *>();
        std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
        QVERIFY(buttons.size() >= 2);
        for (int i = 0; i < buttons.size(); ++i) {
            const QToolButton *button = buttons.at(i);
            QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            const int end = i + 1 < buttons.size() ? buttons.at(i + 1)->x() : band->minimumWidth();
            QVERIFY2(button->geometry().right() < end, qPrintable(button->text()));
        }
    }
}

void TestEnglish::aboutAndFindDialogs()
{
    TMac_About *about = TMac_About::showSingle();
    QCOMPARE(chineseOwnTexts(about), QStringList());
    about->close();
    QCOMPARE(chineseOwnTexts(f.window->FindDialog1), QStringList());
    QCOMPARE(chineseOwnTexts(f.window->FindDialog2), QStringList());
    QCOMPARE(f.window->FindDialog2->fjtc_chk->text(), QString("Simplified and traditional"));
}

void TestEnglish::resultsWindow()
{
    QStringList found = {"never shown"};
    const auto results = TShowjbywnrForm::runModal.replace([&](TShowjbywnrForm &form) {
        found = chineseOwnTexts(&form);
        return int(QDialog::Rejected);
    });
    f.window->FindDialog2->setText("黄鹤楼");
    f.window->FindDialog2Find();
    QCOMPARE(found, QStringList());
}

void TestEnglish::maintenanceDialogs()
{
    QStringList found;
    int shown = 0;
    for (int mode : {MaintenanceDialog::Browse, MaintenanceDialog::Add, MaintenanceDialog::Edit}) {
        whileShown<TywlbwhForm>([&] { ShowChapterDialog("00001", f.window->TreeView, mode); },
                                [&](TywlbwhForm &d) {
                                    found << chineseOwnTexts(&d);
                                    if (mode == MaintenanceDialog::Browse)
                                        d.edit_lb_btnClick(); // the confirming button's own caption
                                    found << chineseOwnTexts(&d);
                                    ++shown;
                                });
        whileShown<TywnrwhForm>([&] { ShowArticleDialog("00001", f.window->TreeView, mode); },
                                [&](TywnrwhForm &d) {
                                    found << chineseOwnTexts(&d);
                                    ++shown;
                                });
    }
    QCOMPARE(shown, 6);
    QCOMPARE(found, QStringList());
}

void TestEnglish::messageBoxes()
{
    ScriptedBoxes boxes(QMessageBox::Cancel);
    f.window->FindDialog1->setText("nowhere");
    f.window->FindDialog1Find();
    f.window->FindDialog2->setText("nowhere");
    f.window->FindDialog2Find();
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00001", f.window->TreeView, MaintenanceDialog::Delete); }, {});
    whileShown<TywnrwhForm>([&] { ShowArticleDialog("00001", f.window->TreeView, MaintenanceDialog::Delete); }, {});
    whileShown<TywlbwhForm>([&] { ShowChapterDialog("00001", f.window->TreeView, MaintenanceDialog::Add); },
                            [](TywlbwhForm &d) {
                                d.lb_lbbh_Edit->clear();
                                d.ok_lb_btn->click(); // an empty code
                            });
    Handlers::run([] { throw std::runtime_error("broken"); });
    QCOMPARE(boxes.shown.size(), 6);
    QCOMPARE(boxes.shown.last().text, QString("Internal program error: broken."));
    QCOMPARE(chineseBoxTexts(boxes.shown), QStringList());
}

void TestEnglish::languageFromLocale_data()
{
    QTest::addColumn<QStringList>("environment"); // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << QStringList{"", "", "", ""} << false;
    QTest::newRow("C locale") << QStringList{"", "", "", "C.UTF-8"} << false;
    QTest::newRow("LANG English") << QStringList{"", "", "", "en_US.UTF-8"} << true;
    QTest::newRow("LC_ALL before LANG") << QStringList{"", "zh_CN.UTF-8", "", "en_US.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES before LANG") << QStringList{"", "", "en_GB.UTF-8", "zh_CN.UTF-8"} << true;
    QTest::newRow("LANGUAGE first of all") << QStringList{"en_GB:zh_CN", "zh_CN.UTF-8", "", ""} << true;
    QTest::newRow("LANGUAGE's first entry") << QStringList{"zh_CN:en", "", "", "en_US.UTF-8"} << false;
    QTest::newRow("another language") << QStringList{"", "", "", "de_DE.UTF-8"} << false;
}

void TestEnglish::languageFromLocale()
{
    QFETCH(QStringList, environment);
    QFETCH(bool, english);
    const char *names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    QList<QByteArray> saved;
    for (int i = 0; i < 4; ++i) {
        saved << qgetenv(names[i]);
        qputenv(names[i], environment.at(i).toUtf8());
    }
    const Language::Choice chosen = Language::fromEnvironment();
    for (int i = 0; i < 4; ++i)
        qputenv(names[i], saved.at(i));
    QCOMPARE(chosen == Language::Choice::English, english);
}

void TestEnglish::commandLineAndRemembered()
{
    using Language::Choice;
    QCOMPARE(Language::argument({"ebook-reader", "--staff", "--lang", "en"}), std::optional<QString>("en"));
    QCOMPARE(Language::argument({"ebook-tool", "--lang=zh", "check"}), std::optional<QString>("zh"));
    QCOMPARE(Language::argument({"ebook-tool", "check", "--lang"}), std::optional<QString>(""));
    QVERIFY(!Language::argument({"ebook-tool", "check", "lang"}));
    QCOMPARE(Language::withoutLanguage({"check", "--lang", "en", "b", "--lang=zh"}), QStringList({"check", "b"}));
    QCOMPARE(Language::parse("EN"), std::optional<Choice>(Choice::English));
    QVERIFY(!Language::parse("fr"));
    QCOMPARE(Language::chosen(Choice::Chinese, Choice::English), Choice::Chinese);
    QCOMPARE(Language::chosen(std::nullopt, Choice::English), Choice::English);
}

void TestEnglish::menuRemembersChoice()
{
    ScriptedBoxes boxes;
    QVERIFY(!DesktopSettings::language());
    auto *english = f.window->findChild<QAction *>("LanguageEnglish");
    QVERIFY(english && english->isChecked());
    f.window->findChild<QAction *>("LanguageChinese")->trigger();
    QCOMPARE(DesktopSettings::language(), std::optional<Language::Choice>(Language::Choice::Chinese));
    QVERIFY(!english->isChecked()); // one language ticked at a time
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, QString("From the next start the interface will be in Chinese."));
    english->trigger();
    QCOMPARE(DesktopSettings::language(), std::optional<Language::Choice>(Language::Choice::English));
    QCOMPARE(boxes.shown.size(), 1); // back to the language shown: no change to announce
}

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
