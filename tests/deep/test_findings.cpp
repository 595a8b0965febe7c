// Recording the deep window's boxes into the examination, removing repeated
// pathology lines, grouping the findings by body system and the
// consultations sentence, all without a window.
#include "state/bodysystem.h"
#include "state/consultations.h"
#include "state/findings.h"
#include "state/preliminary.h"
#include "state/recording.h"
#include "support/examscript.h"
#include "support/testenv.h"

#include <QRandomGenerator>
#include <QtTest>

using state::Eye;

namespace {

QString p(int system, const QString &text)
{
    return QStringLiteral("0100 %1 ").arg(system, 2, 10, QLatin1Char('0')) + text;
}

QString heading(const char16_t *title)
{
    return QString(17, QLatin1Char(' ')) + QString::fromUtf16(title);
}

// The rule as written: a line is dropped when an identical line follows it
// anywhere.
QStringList allPairs(const QStringList &lines)
{
    QStringList kept;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        bool later = false;
        for (qsizetype j = i + 1; j < lines.size(); ++j)
            later = later || lines.at(j) == lines.at(i);
        if (!later)
            kept.append(lines.at(i));
    }
    return kept;
}

} // namespace

class TestFindings : public QObject {
    Q_OBJECT
private slots:
    void init() { TestEnv::resetProgram(); }
    void cleanup() { TestEnv::resetProgram(); }

    void bodySystemCode_data();
    void bodySystemCode();
    void signsReplaceThenAppend();
    void pathologiesDeduplicated_data();
    void pathologiesDeduplicated();
    void uniqueLinesMatchesAllPairs();
    void recordingIgnoresStaleElements();
    void groupingInCodeOrder();
    void codesOutsideTheSystems();
    void groupingFailureLeavesFindings();
    void consultations_data();
    void consultations();
    void failedRecordingKeepsPassCount();
    void boxLinesDropTrailingBreak();
};

void TestFindings::bodySystemCode_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("code");
    QTest::newRow("05") << "0113 05 x" << true << 5;
    QTest::newRow("blank 5") << "0113  5 x" << true << 5;
    QTest::newRow("11") << "0113 11 x" << true << 11;
    QTest::newRow("00") << "0113 00 x" << true << 0;
    QTest::newRow("12") << "0113 12 x" << true << 12;
    QTest::newRow("-1") << "0113 -1 x" << true << -1;
    QTest::newRow("digit then blank") << "0113 5  x" << false << 0;
    QTest::newRow("letters") << "0113 ab x" << false << 0;
    QTest::newRow("two blanks") << "0113    x" << false << 0;
    QTest::newRow("code alone") << "0113" << false << 0;
    QTest::newRow("one character left") << "0113 7" << true << 7;
    QTest::newRow("empty") << "" << false << 0;
}

void TestFindings::bodySystemCode()
{
    QFETCH(QString, line);
    QFETCH(bool, ok);
    QFETCH(int, code);
    bool converted = !ok;
    QCOMPARE(state::bodysystem::codeOf(line, &converted), code);
    QCOMPARE(converted, ok);
}

void TestFindings::signsReplaceThenAppend()
{
    state::Examination &exam = state::examination();
    ExaminationScript().RightEyeSigns = {QStringLiteral("stale")};
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("R1"), QStringLiteral("R2")}, {}));
    QCOMPARE(exam.rightEyeSigns(), QStringList({QStringLiteral("R1"), QStringLiteral("R2")}));
    QCOMPARE(exam.deepPassCount(), 1);
    QVERIFY(exam.record(Eye::Left, {QStringLiteral("L1")}, {}));
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("R3")}, {}));
    QCOMPARE(exam.rightEyeSigns(), QStringList({QStringLiteral("R1"), QStringLiteral("R2"), QStringLiteral("R3")}));
    QCOMPARE(exam.rightEyeSignsOld(), QStringList({QStringLiteral("R1"), QStringLiteral("R2")}));
    QCOMPARE(exam.leftEyeSigns(), QStringList{QStringLiteral("L1")});
    QCOMPARE(exam.deepPassCount(), 3);

    // A new patient: the next recording replaces.
    exam.newPatient();
    QVERIFY(exam.record(Eye::Left, {QStringLiteral("L9")}, {}));
    QCOMPARE(exam.rightEyeSigns(), QStringList{});
    QCOMPARE(exam.leftEyeSigns(), QStringList{QStringLiteral("L9")});
}

void TestFindings::pathologiesDeduplicated_data()
{
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<QStringList>("unique");
    const QString l1 = p(1, QStringLiteral("L1")), l2 = p(2, QStringLiteral("L2")), l3 = p(3, QStringLiteral("L3"));
    QTest::newRow("L1 L2 then L2 L3") << QStringList{l1, l2} << QStringList{l2, l3} << QStringList{l1, l2, l3};
    QTest::newRow("L1 L2 then L1") << QStringList{l1, l2} << QStringList{l1} << QStringList{l2, l1};
    QTest::newRow("repeats within the second") << QStringList{l1} << QStringList{l2, l1, l2} << QStringList{l1, l2};
    QTest::newRow("case matters") << QStringList{l1} << QStringList{l1.toLower()} << QStringList{l1, l1.toLower()};
    QTest::newRow("nothing new") << QStringList{l1, l1} << QStringList{} << QStringList{l1};
}

void TestFindings::pathologiesDeduplicated()
{
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(QStringList, unique);
    state::Examination &exam = state::examination();
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("s")}, first));
    // The first recording keeps repeats.
    QCOMPARE(exam.uniquePathologyLines(), first);
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("s")}, second));
    QCOMPARE(exam.pathologyLines(), first + second);
    QCOMPARE(exam.uniquePathologyLines(), unique);
}

void TestFindings::uniqueLinesMatchesAllPairs()
{
    QRandomGenerator rng(20240607);
    for (int round = 0; round < 200; ++round) {
        QStringList lines;
        const int n = rng.bounded(40);
        const int variety = 1 + rng.bounded(12);
        for (int i = 0; i < n; ++i)
            lines << QStringLiteral("0001 01 line %1").arg(rng.bounded(variety));
        QCOMPARE(state::deep::uniqueLines(lines), allPairs(lines));
    }
}

void TestFindings::recordingIgnoresStaleElements()
{
    // What a patient left before the new-patient reset must not leak into
    // the next patient's accumulation.
    state::Examination &exam = state::examination();
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("a")}, {p(1, QStringLiteral("old1"))}));
    QVERIFY(exam.record(Eye::Left, {QStringLiteral("l")}, {p(1, QStringLiteral("old2"))}));
    exam.newPatient();
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("b")}, {p(2, QStringLiteral("new"))}));
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("c")}, {p(3, QStringLiteral("more"))}));
    QCOMPARE(exam.rightEyeSigns(), QStringList({QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(exam.leftEyeSigns(), QStringList{});
    QCOMPARE(exam.pathologyLines(), QStringList({p(2, QStringLiteral("new")), p(3, QStringLiteral("more"))}));
}

void TestFindings::groupingInCodeOrder()
{
    const QStringList lines = {p(5, QStringLiteral("a5")), p(1, QStringLiteral("b1")), p(11, QStringLiteral("c11")),
                               p(5, QStringLiteral("d5")), QStringLiteral("0100  1 e1")};
    const std::optional<QStringList> found = GroupFindings(lines);
    QVERIFY(found);
    QCOMPARE(*found, QStringList({
        heading(u"ОБЩАЯ ХАРАКТЕРИСТИКА ОРГАНИЗМА:"), p(1, QStringLiteral("b1")), QStringLiteral("0100  1 e1"),
        heading(u"ПИЩЕВАРИТЕЛЬНАЯ СИСТЕМА:"), p(5, QStringLiteral("a5")), p(5, QStringLiteral("d5")),
        heading(u"РЕКОМЕНДАЦИИ:"), p(11, QStringLiteral("c11")),
    }));
    QCOMPARE(found->size(), 8);
    // A heading shows with 9 leading blanks.
    QCOMPARE(state::deep::shownFinding(SystemHeading(10)), QString(9, QLatin1Char(' ')) + QStringLiteral("ОРГАНЫ ЗРЕНИЯ И ЛОР:"));
    QCOMPARE(GroupFindings(lines.first(1)),
             QStringList({heading(u"ПИЩЕВАРИТЕЛЬНАЯ СИСТЕМА:"), p(5, QStringLiteral("a5"))}));
}

void TestFindings::codesOutsideTheSystems()
{
    const QStringList lines = {p(0, QStringLiteral("zero")), p(3, QStringLiteral("heart")), p(12, QStringLiteral("twelve"))};
    QCOMPARE(GroupFindings(lines), QStringList({
        heading(u"СЕРДЕЧНО-СОСУДИСТАЯ СИСТЕМА:"), p(3, QStringLiteral("heart")), QString(), QString(),
    }));
}

void TestFindings::groupingFailureLeavesFindings()
{
    state::Examination &exam = state::examination();
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("s")}, {p(1, QStringLiteral("before"))}));
    const QStringList before = exam.findingLines();
    QVERIFY(!GroupFindings({p(1, QStringLiteral("ok")), QStringLiteral("0113")}));
    QVERIFY(!exam.record(Eye::Right, {QStringLiteral("s")}, {p(1, QStringLiteral("ok")), QStringLiteral("0113")}));
    QCOMPARE(exam.findingLines(), before);
}

void TestFindings::consultations_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<int>("count");
    QTest::newRow("none") << QStringList{} << "Консультации: " << 1;
    QTest::newRow("5 then 1") << QStringList{p(5, QStringLiteral("a")), p(1, QStringLiteral("b"))}
                              << "Консультации: терапевта, гастроэнтеролога, " << 3;
    QTest::newRow("each once") << QStringList{p(3, QStringLiteral("a")), p(3, QStringLiteral("b")), p(1, QStringLiteral("c"))}
                               << "Консультации: терапевта, кардиолога, " << 3;
    QTest::newRow("11 has no specialist") << QStringList{p(11, QStringLiteral("rest"))} << "Консультации: " << 1;
    QTest::newRow("0 and 12 neither") << QStringList{p(0, QStringLiteral("a")), p(12, QStringLiteral("b"))} << "Консультации: " << 1;
    QStringList all;
    for (int c = 11; c >= 1; --c)
        all << p(c, QStringLiteral("x"));
    QTest::newRow("all ten") << all
                             << "Консультации: терапевта, невропатолога, кардиолога, пульмонолога, "
                                "гастроэнтеролога, уролога, эндокринолога, вертебролога, дерматолога, окулиста, ЛОР, "
                             << 11;
}

void TestFindings::consultations()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, sentence);
    QFETCH(int, count);
    const Consultations c = BuildConsultations(lines);
    QVERIFY(c.ok);
    QCOMPARE(c.lines.value(0), sentence);
    QCOMPARE(c.lines.size(), qsizetype(count));
}

void TestFindings::failedRecordingKeepsPassCount()
{
    // A pathology line cut down to its code: signs and pathology lists are
    // recorded, the findings and the pass count are not.
    state::Examination &exam = state::examination();
    QVERIFY(!exam.record(Eye::Right, {QStringLiteral("sign")}, {p(1, QStringLiteral("a")), QStringLiteral("0113")}));
    QCOMPARE(exam.deepPassCount(), 0);
    QCOMPARE(exam.rightEyeSigns().size(), 1);
    QCOMPARE(exam.pathologyLines().size(), 2);
    QCOMPARE(exam.uniquePathologyLines().size(), 2);
    QCOMPARE(exam.findingLines().size(), 0);
    QVERIFY(!exam.rebuildConsultations().ok);
    // Still the first recording: the next one replaces everything.
    QVERIFY(exam.record(Eye::Right, {QStringLiteral("again")}, {p(4, QStringLiteral("b"))}));
    QCOMPARE(exam.rightEyeSigns(), QStringList{QStringLiteral("again")});
    QCOMPARE(exam.pathologyLines(), QStringList{p(4, QStringLiteral("b"))});
    QCOMPARE(exam.deepPassCount(), 1);
}

void TestFindings::boxLinesDropTrailingBreak()
{
    QCOMPARE(state::deep::boxLines({QStringLiteral("a"), QString()}), QStringList{QStringLiteral("a")});
    QCOMPARE(state::deep::boxLines({QStringLiteral("a"), QString(), QStringLiteral("b")}),
             QStringList({QStringLiteral("a"), QString(), QStringLiteral("b")}));
    QCOMPARE(state::deep::boxLines({}), QStringList{});
}

QTEST_MAIN(TestFindings)
#include "test_findings.moc"
