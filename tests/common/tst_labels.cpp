#include "common/Labels.h"
#include "common/PublicCode_Unit.h"

#include <QtTest>

class TestLabels : public QObject {
    Q_OBJECT
private slots:
    void copyBetween_data();
    void copyBetween();
    void copyBefore_data();
    void copyBefore();
    void formats();
    void hostileNamesReadable();
};

void TestLabels::copyBetween_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("result");
    QTest::newRow("chapter") << "Intro[00012]" << "[" << "]" << "00012";
    QTest::newRow("article read as chapter") << "Part one[N00007]" << "[" << "]" << "N00007";
    QTest::newRow("article") << "Part one[N00007]" << "[N" << "]" << "00007";
    QTest::newRow("no start tag") << "abc]" << "[" << "]" << "";
    QTest::newRow("no end tag") << "a[bc" << "[" << "]" << "";
    QTest::newRow("end tag before start tag") << "A]B[00012]" << "[" << "]" << "";
    QTest::newRow("end right after start") << "A[]" << "[" << "]" << "";
    QTest::newRow("end searched from the start") << "x]y[z]" << "[" << "]" << "";
    QTest::newRow("empty start tag") << "a[b]" << "" << "]" << "";
    QTest::newRow("empty end tag") << "a[b]" << "[" << "" << "";
    QTest::newRow("bracket in name") << "A[B[00012]" << "[" << "]" << "B[00012";
    QTest::newRow("chinese") << "人物传记[甲乙]" << "[" << "]" << "甲乙";
    QTest::newRow("outside the BMP") << QString::fromUtf8("𠀀名[𠀁1]") << "[" << "]" << QString::fromUtf8("𠀁1");
}

void TestLabels::copyBetween()
{
    QFETCH(QString, s);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, result);
    QCOMPARE(CopyBetween(s, start, end), result);
}

void TestLabels::copyBefore_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<QString>("result");
    QTest::newRow("no delimiter gives empty, not the text") << "abc" << "";
    QTest::newRow("at the start") << "[x" << "";
    QTest::newRow("first of several") << "ab[c[d" << "ab";
    QTest::newRow("placeholder") << "EMPTY" << "";
    QTest::newRow("chinese name") << "唐诗三百首[00001]" << "唐诗三百首";
}

void TestLabels::copyBefore()
{
    QFETCH(QString, s);
    QFETCH(QString, result);
    QCOMPARE(CopyBefore(s, "["), result);
    QCOMPARE(CopyBefore(s, ""), QString());
}

void TestLabels::formats()
{
    QCOMPARE(Labels::chapterLabel("Intro", "00012"), QString("Intro[00012]"));
    QCOMPARE(Labels::rootLabel("书"), QString("书[00000]"));
    QCOMPARE(Labels::rootLabel(""), QString("[00000]"));
    QCOMPARE(Labels::articleLabel("Part one", "00007"), QString("Part one[N00007]"));
    QCOMPARE(Labels::resultLabel("人物", "00003"), QString("人物[N00003]"));
    QCOMPARE(Labels::rootLabel(Labels::DesignedRootName), QString("澜州省档案馆电子书刊[00000]"));
}

// A right-to-left override left open and a CR LF in a name: the label stays
// one line, and the code keeps its own direction after the name's isolate.
void TestLabels::hostileNamesReadable()
{
    const QString rlo = QString(QChar(0x202E));
    const QString rli = QString(QChar(0x2067));
    const QString fsi = QString(QChar(0x2068)), pdi = QString(QChar(0x2069));
    QCOMPARE(Labels::chapterLabel("RTL" + rlo + "CODE\r\nH", "00001"), fsi + "RTL" + rlo + "CODE H" + pdi + "[00001]");
    QCOMPARE(Labels::articleLabel("a" + rli + "b", "7" + QString(QChar(0x200F))),
             fsi + "a" + rli + "b" + pdi + pdi + "[N" + fsi + "7" + QChar(0x200F) + pdi + "]");
    QCOMPARE(Labels::resultLabel("上\n下\r左\u2028右", "00002"), QString("上 下 左 右[N00002]"));
    QCOMPARE(Labels::chapterLabel("第一章", "00001"), QString("第一章[00001]"));
}

QTEST_GUILESS_MAIN(TestLabels)
#include "tst_labels.moc"
