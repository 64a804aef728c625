#include "common/TextHelpers.h"
#include "search/TextMarks.h"

#include <QAction>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

// Marking a search text's occurrences by the search's own matching rules,
// and stepping through them with F3 in a text edit on screen.
class TestTextMarks : public QObject {
    Q_OBJECT
private slots:
    void likeMatch_data();
    void likeMatch();
    void marksOfTheStoredText_data();
    void marksOfTheStoredText();
    void everyRewriteOfTheDocumentIsKnown();
    void variantMarks_data();
    void variantMarks();
    void f3StepsAndWraps();
    void hitInTheMiddleOfTheView();
};

static QString spans(const QVector<LikeMatch::Range> &ranges)
{
    QStringList out;
    for (const LikeMatch::Range &r : ranges)
        out << QStringLiteral("%1-%2").arg(r.start).arg(r.end);
    return out.join(QLatin1Char(';'));
}

void TestTextMarks::likeMatch_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ASCII without case") << "xyzXYZxYz" << QStringList{"Xyz"} << "0-3;3-6;6-9";
    QTest::newRow("other letters with case") << "Ü ü" << QStringList{"ü"} << "2-3";
    QTest::newRow("underscore one character") << "a_b axb ab" << QStringList{"a_b"} << "0-3;4-7";
    QTest::newRow("underscore one Chinese character") << "中文_中x文" << QStringList{"中_文"} << "3-6";
    QTest::newRow("underscore one character beyond the BMP") << "a\U0001F600bc\U0001F600d" << QStringList{"a_bc_d"}
                                                             << "0-8";
    QTest::newRow("percent the shortest stretch") << "ab ab cd ab" << QStringList{"ab%cd"} << "3-8";
    QTest::newRow("percent at the ends adds nothing") << "xxabyy" << QStringList{"%ab%"} << "2-4";
    QTest::newRow("percent alone marks nothing") << "abc" << QStringList{"%%", ""} << "";
    QTest::newRow("three pieces") << "a1b2c a b c" << QStringList{"a%b%c"} << "0-5;6-11";
    QTest::newRow("a piece that never follows") << "ab ab" << QStringList{"ab%cd"} << "";
    QTest::newRow("no overlap") << "aaaa" << QStringList{"aa"} << "0-2;2-4";
    QTest::newRow("a line break is CR LF") << "ab\ncd" << QStringList{"b__c"} << "1-4";
    QTest::newRow("quotes are characters") << "O'Neil \"引\"" << QStringList{"'n", "\"引\""} << "1-3;7-10";
    QTest::newRow("two texts in text order") << "明月 second 明月" << QStringList{"明月", "SECOND"} << "0-2;3-9;10-12";
}

void TestTextMarks::likeMatch()
{
    QFETCH(QString, pane);
    QFETCH(QStringList, patterns);
    QFETCH(QString, expected);
    QCOMPARE(spans(LikeMatch::findInPane(pane, patterns)), expected);
}

void TestTextMarks::marksOfTheStoredText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    const QString nbsp = QStringLiteral("甲\u00A0乙，甲 乙");
    QTest::newRow("a blank finds no no-break space") << nbsp << "甲 乙" << "4-7";
    QTest::newRow("a no-break space finds itself") << nbsp << "甲\u00A0乙" << "0-3";
    QTest::newRow("no blank: nothing") << "甲\u00A0乙" << "甲 乙" << "";
    QTest::newRow("a soft line break is CR LF") << "ab\u2028cd" << "b__c" << "1-4";
    QTest::newRow("a soft line break is two characters") << "ab\u2028cd" << "b_c" << "";
    QTest::newRow("after line breaks of both kinds") << "一\n二\u2028三\u00A0词\n词" << "词" << "6-7;8-9";
    QTest::newRow("a no-break space after a line break") << "一\u2028\u00A0二" << "\u00A0二" << "2-4";
}

// The marks of a text edit's text agree with the search of the stored text.
void TestTextMarks::marksOfTheStoredText()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QPlainTextEdit edit;
    edit.setPlainText(text);
    TextMarks *marks = TextMarks::mark(&edit, {pattern});
    QCOMPARE(marks ? spans(marks->ranges()) : QString(), expected);
}

// What toPlainText() makes of every character of the Basic Multilingual
// Plane put in a document differs from the raw text where the table says,
// and only there.
void TestTextMarks::everyRewriteOfTheDocumentIsKnown()
{
    QString all;
    for (char16_t c = 1; c < 0xD800; ++c)
        all += QChar(c);
    for (char16_t c = 0xE000; c != 0; ++c)
        all += QChar(c);
    QTextDocument document;
    QTextCursor(&document).insertText(all);
    const QString raw = document.toRawText();
    const QString plain = document.toPlainText();
    QCOMPARE(plain.size(), raw.size());
    QString expected = raw;
    for (QChar &c : expected)
        for (const TextHelpers::DocumentCharacter &d : TextHelpers::DocumentCharacters)
            if (c == d.raw)
                c = d.plain;
    QCOMPARE(plain, expected);
    for (const TextHelpers::DocumentCharacter &d : TextHelpers::DocumentCharacters)
        QVERIFY(raw.contains(QChar(d.raw)));
}

// 繁简通查: a form marks its variants, also those of another UTF-16 width
// (𫫇 takes two units, 噁 one), at their own places in the text.
void TestTextMarks::variantMarks_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");
    QTest::newRow("narrow marks wide") << "令𫫇心 噁心" << "噁心" << "1-4;5-7";
    QTest::newRow("after a widened form") << "𫫇𫫇 僤x" << "𫢸_" << "5-7";
    QTest::newRow("underscore over a wide form") << "黃𫢸髮 a" << "黄_发" << "0-4";
}

void TestTextMarks::variantMarks()
{
    QFETCH(QString, pane);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(spans(LikeMatch::findInPane(pane, {pattern}, true)), expected);
}

// F3 in a marked text is the text's own even where the window has F3 as a
// shortcut; the marks never enter the text or its undo history.
void TestTextMarks::f3StepsAndWraps()
{
    QMainWindow window;
    auto *edit = new QPlainTextEdit(&window);
    window.setCentralWidget(edit);
    int windowShortcut = 0;
    auto *action = new QAction(&window);
    action->setShortcut(Qt::Key_F3);
    window.addAction(action);
    connect(action, &QAction::triggered, this, [&] { ++windowShortcut; });
    const QString text = QStringLiteral("甲 词 乙 词\n丙 词");
    edit->setPlainText(text);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    QVERIFY(TextMarks::mark(edit, {"词"}));
    QCOMPARE(edit->extraSelections().size(), 3);
    QStringList steps;
    const auto step = [&](Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(edit, Qt::Key_F3, modifiers);
        steps << QString::number(edit->textCursor().selectionStart());
    };
    steps << QString::number(edit->textCursor().selectionStart());
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::NoModifier, Qt::NoModifier, Qt::ShiftModifier,
                                            Qt::ShiftModifier})
        step(modifiers);
    QCOMPARE(steps, QStringList({"2", "6", "10", "2", "10", "6"}));
    QCOMPARE(edit->textCursor().selectedText(), QString("词"));
    // Overlapping marks of two texts: F3 goes to the one that starts next.
    QVERIFY(TextMarks::mark(edit, {"词 乙", "乙 词"}));
    QTest::keyClick(edit, Qt::Key_F3);
    QCOMPARE(edit->textCursor().selectionStart(), 4);
    QCOMPARE(windowShortcut, 0);
    QCOMPARE(edit->toPlainText(), text);
    QVERIFY(!edit->document()->isUndoAvailable());
    // Changing the text takes the marks away; F3 is the window's again.
    edit->setPlainText(QStringLiteral("另一篇"));
    QCoreApplication::processEvents();
    QVERIFY(!TextMarks::of(edit));
    QVERIFY(edit->extraSelections().isEmpty());
    QTest::keyClick(edit, Qt::Key_F3);
    QCOMPARE(windowShortcut, 1);
}

// A hit moved to stands in the middle of the view, with lines around it.
void TestTextMarks::hitInTheMiddleOfTheView()
{
    QPlainTextEdit edit;
    edit.resize(300, 200);
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << (i % 50 == 49 ? QString("第%1行 词").arg(i) : QString("第%1行").arg(i));
    edit.setPlainText(lines.join('\n'));
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    QVERIFY(TextMarks::mark(&edit, {"词"}));
    const int middle = edit.viewport()->height() / 2;
    const int line = edit.fontMetrics().height();
    for (int hit = 0; hit < 3; ++hit) {
        QVERIFY2(qAbs(edit.cursorRect().center().y() - middle) <= line, qPrintable(edit.textCursor().block().text()));
        QTest::keyClick(&edit, Qt::Key_F3);
    }
}

QTEST_MAIN(TestTextMarks)
#include "tst_textmarks.moc"
