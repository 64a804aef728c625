#include "TestBook.h"
#include "common/AppError.h"
#include "widgets/Handlers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <stdexcept>

// Handlers connected through Handlers::connect report their own errors by
// the general error report. The test runs on a plain QApplication: an error
// that left a handler would unwind through Qt's frames into the test.
class TestHandlers : public QObject {
    Q_OBJECT
public:
    // Slots that take fewer arguments than their signals give.
    void noArguments() { ++calls; }
    void firstOnly(QTreeWidgetItem *current) { seen << (current ? current->text(0) : QString()); }
    void failing() { throw AppError(AppError::Database, QStringLiteral("no such table: ywzx_ywnr")); }
    int calls = 0;
    QStringList seen;

private slots:
    void slotsTakeLeadingArguments();
    void errorsAreReportedAndTheProgramGoesOn();
};

void TestHandlers::slotsTakeLeadingArguments()
{
    QLineEdit edit;
    QTreeWidget tree;
    tree.addTopLevelItems({new QTreeWidgetItem(QStringList("甲")), new QTreeWidgetItem(QStringList("乙"))});
    QTimer timer;
    QString typed;
    Handlers::connect(&edit, &QLineEdit::textChanged, this, &TestHandlers::noArguments);
    Handlers::connect(&edit, &QLineEdit::textChanged, this, [&](const QString &text) { typed = text; });
    Handlers::connect(&tree, &QTreeWidget::currentItemChanged, this, &TestHandlers::firstOnly);
    Handlers::connect(&timer, &QTimer::timeout, this, &TestHandlers::noArguments); // a private signal
    edit.setText("abc");
    tree.setCurrentItem(tree.topLevelItem(1));
    QMetaObject::invokeMethod(&timer, "timeout");
    QCOMPARE(calls, 2);
    QCOMPARE(typed, QString("abc"));
    QCOMPARE(seen, QStringList("乙"));
    // The receiver ends the connection.
    {
        TestHandlers gone;
        Handlers::connect(&edit, &QLineEdit::textChanged, &gone, &TestHandlers::noArguments);
    }
    edit.setText("x");
    QCOMPARE(calls, 3);
}

void TestHandlers::errorsAreReportedAndTheProgramGoesOn()
{
    const struct {
        const char *name;
        std::function<void()> raise;
        QString shown;
    } cases[] = {
        {"program error", [this] { failing(); }, "no such table: ywzx_ywnr."},
        {"library error", [] { throw std::out_of_range("index out of range"); }, "程序内部出错：index out of range."},
        {"ends in a stop", [] { throw AppError(AppError::FileOpen, "无法打开文件."); }, "无法打开文件."},
        {"of no known kind", [] { throw 42; }, "未知错误."},
    };
    for (const auto &c : cases) {
        ScriptedBoxes boxes;
        QPushButton button("x");
        int after = 0;
        Handlers::connect(&button, &QPushButton::clicked, this, c.raise);
        Handlers::connect(&button, &QPushButton::pressed, this, [&] { ++after; });
        button.show();
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].caption, QString("墨川电子阅读系统"));
        QCOMPARE(boxes.shown[0].text, c.shown);
        QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.shown[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // The program goes on: the next click is handled as usual.
        QTest::mouseClick(&button, Qt::LeftButton);
        QVERIFY2(after == 2, c.name);
        QCOMPARE(boxes.shown.size(), 2);
    }
    // A member slot of the receiver reports the same way.
    ScriptedBoxes boxes;
    QPushButton button("y");
    Handlers::connect(&button, &QPushButton::clicked, this, &TestHandlers::failing);
    button.show();
    QTest::keyClick(&button, Qt::Key_Space);
    QCOMPARE(boxes.shown.size(), 1);
}

QTEST_MAIN(TestHandlers)
#include "tst_handlers.moc"
