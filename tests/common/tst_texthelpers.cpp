#include "common/AppError.h"
#include "common/DateTimeText.h"
#include "common/TextHelpers.h"

#include <QtTest>

class TestTextHelpers : public QObject {
    Q_OBJECT
private slots:
    void gbkByteLength_data();
    void gbkByteLength();
    void fullStop_data();
    void fullStop();
    void storageText();
    void displayInChinese();
    void parseTyped();
    void parseTypedParts_data();
    void parseTypedParts();
    void twoDigitYearsAreWidened();
};

void TestTextHelpers::gbkByteLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("ascii") << "abc" << 3;
    QTest::newRow("mixed") << "abc中文" << 7;
    QTest::newRow("three-byte employee limit") << "张a" << 3;
    QTest::newRow("full-width punctuation") << "，。！" << 6;
    QTest::newRow("outside GBK counts two") << QString::fromUtf8("𠀀") << 2;
}

void TestTextHelpers::gbkByteLength()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QCOMPARE(TextHelpers::gbkByteLength(text), bytes);
}

void TestTextHelpers::fullStop_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "no such table: x" << "no such table: x.";
    QTest::newRow("full stop") << "done." << "done.";
    QTest::newRow("comma sorts before the stop") << "a," << "a,";
    QTest::newRow("closing bracket") << "a)" << "a)";
    QTest::newRow("chinese stop and exclamation") << "错误！" << "错误！";
    QTest::newRow("chinese text") << "文件不存在" << "文件不存在.";
    QTest::newRow("quote sorts before the stop") << "Cannot open file \"x\"" << "Cannot open file \"x\"";
    QTest::newRow("empty") << "" << "";
}

void TestTextHelpers::fullStop()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(TextHelpers::withFullStop(message), shown);
}

void TestTextHelpers::storageText()
{
    const QDateTime t(QDate(2024, 3, 5), QTime(7, 8, 9));
    QCOMPARE(DateTimeText::storageText(t), QString("2024-03-05 07:08:09"));
    QCOMPARE(DateTimeText::fromStorageText("2024-03-05 07:08:09"), t);
    QCOMPARE(DateTimeText::fromStorageText("2024-03-05T07:08:09"), t);
    QCOMPARE(DateTimeText::fromStorageText("2024-03-05"), QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    QVERIFY(!DateTimeText::fromStorageText("2024-13-05").isValid());
    QVERIFY(!DateTimeText::fromStorageText("yesterday").isValid());
}

void TestTextHelpers::displayInChinese()
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0));
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 5, 6));
    QCOMPARE(DateTimeText::display(midnight), QString("2024/3/5"));
    QVERIFY2(DateTimeText::display(afternoon).startsWith("2024/3/5 "), qPrintable(DateTimeText::display(afternoon)));
    QVERIFY(DateTimeText::display(afternoon).contains("05:06"));
    QVERIFY(!DateTimeText::longTimeFormat().contains('t'));
    QLocale::setDefault(QLocale::system());
}

void TestTextHelpers::parseTyped()
{
    for (const QLocale &locale : {QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 5, 6));
        const QDateTime midnight(QDate(1999, 12, 31), QTime(0, 0));
        QCOMPARE(DateTimeText::parseTyped(DateTimeText::display(afternoon)), afternoon);
        QCOMPARE(DateTimeText::parseTyped(DateTimeText::display(midnight)), midnight);
        QCOMPARE(DateTimeText::parseTyped(" 2024-03-05 14:05:06 "), afternoon);
        try {
            DateTimeText::parseTyped("2024年13月");
            QFAIL("no error");
        } catch (const AppError &error) {
            QVERIFY2(error.message().startsWith("“2024年13月”不是有效的日期和时间。请按 "), qPrintable(error.message()));
        }
    }
    QLocale::setDefault(QLocale::system());
}

void TestTextHelpers::parseTypedParts_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused
    const QDate jan5(2024, 1, 5);
    const auto at = [&](int h, int m, int s = 0) { return QDateTime(jan5, QTime(h, m, s)); };
    const struct { const char *locale, *text; QDateTime expected; } rows[] = {
        {"zh_CN", "2024/1/5 9:05:07", at(9, 5, 7)},
        {"zh_CN", "2024/1/5 09:05:07", at(9, 5, 7)},
        {"zh_CN", "2024/1/5 9:5:7", at(9, 5, 7)},
        {"zh_CN", "2024/1/5 9:05", at(9, 5)},
        {"zh_CN", "2024/1/5 0:00", at(0, 0)},
        {"zh_CN", "2024/1/5 23:59:59", at(23, 59, 59)},
        {"zh_CN", "2024/01/05 10:41:07", at(10, 41, 7)},
        {"zh_CN", "2024/1/5", at(0, 0)},
        {"zh_CN", " 2024/1/5  9:05 ", at(9, 5)},
        {"zh_CN", "2024-1-5 9:5", at(9, 5)},
        {"zh_CN", "2024-01-05 9:05:07", at(9, 5, 7)},
        {"en_US", "1/5/2024 9:05:07 AM", at(9, 5, 7)},
        {"en_US", "1/5/2024 9:05 PM", at(21, 5)},
        {"en_US", "1/5/2024 14:05", at(14, 5)},
        {"en_US", "01/05/2024", at(0, 0)},
        {"de_DE", "5.1.2024 9:05:07", at(9, 5, 7)},
        {"de_DE", "05.01.2024 0:00", at(0, 0)},
        {"de_DE", "5.1.2024", at(0, 0)},
        {"zh_CN", "2024/1/5 24:00", QDateTime()},
        {"zh_CN", "2024/1/5 9:60", QDateTime()},
        {"zh_CN", "2024/2/30", QDateTime()},
        {"zh_CN", "2024/1/5 9", QDateTime()},
        {"zh_CN", "2024/1/5 9:05:07:01", QDateTime()},
        {"zh_CN", "9:05", QDateTime()},
        {"zh_CN", "", QDateTime()},
        {"zh_CN", "昨天", QDateTime()},
        {"en_US", "1/5/2024 9:05 XM", QDateTime()},
    };
    for (const auto &row : rows)
        QTest::addRow("%s %s", row.locale, row.text) << row.locale << row.text << row.expected;
}

// One- and two-digit parts, the date alone and garbage, in three locales.
void TestTextHelpers::parseTypedParts()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    QLocale::setDefault(QLocale(locale));
    if (expected.isValid()) {
        QCOMPARE(DateTimeText::parseTyped(text), expected);
    } else {
        QVERIFY_THROWS_EXCEPTION(AppError, DateTimeText::parseTyped(text));
    }
    QLocale::setDefault(QLocale::system());
}

void TestTextHelpers::twoDigitYearsAreWidened()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY(DateTimeText::shortDateFormat().contains("yyyy"));
    QCOMPARE(DateTimeText::shortDate(QDate(1905, 1, 2)), QString("1/2/1905"));
    QLocale::setDefault(QLocale::system());
}

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
