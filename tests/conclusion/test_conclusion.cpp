// The draft conclusion: "Итог" compared with golden files for scripted
// examinations, the consultations sentence, the save (names, cancel, failure,
// wrapping, bytes on disk), the caret place, the hand-over and the window.
#include "cards/tfmcard.h"
#include "conclusion/concldoor.h"
#include "conclusion/newpatient.h"
#include "conclusion/save.h"
#include "conclusion/summary.h"
#include "conclusion/tfmconcl.h"
#include "help/helpviewer.h"
#include "platform/textfile.h"
#include "shell/headersign.h"
#include "state/consultations.h"
#include "state/openwindow.h"
#include "support/examscript.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTextBlock>
#include <QtTest>

namespace {

const QString kHeaderName = QStringLiteral("Caption.txt");
const QString kSignatureName = QStringLiteral("Signature.txt");

// Golden files are UTF-8 with LF, one conclusion line per file line, so
// that they read as the conclusion does on screen.
QStringList readGolden(const QString &name)
{
    QFile f(TestEnv::testDataPath(QStringLiteral("conclusion/golden/") + name));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing golden file %1>").arg(name)};
    return platform::textfile::splitLines(QString::fromUtf8(f.readAll()));
}

// Compares line by line; on a difference the actual text is left in the
// temporary folder to be looked at.
void compareWithGolden(const QStringList &actual, const QString &name)
{
    const QStringList expected = readGolden(name);
    if (actual == expected)
        return;
    const QString dir = QDir::tempPath() + QStringLiteral("/nirel3-golden");
    QDir().mkpath(dir);
    QFile out(dir + QLatin1Char('/') + name);
    if (out.open(QIODevice::WriteOnly))
        out.write((actual.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    for (qsizetype i = 0; i < qMax(actual.size(), expected.size()); ++i) {
        const QString a = actual.value(i, QStringLiteral("<none>"));
        const QString e = expected.value(i, QStringLiteral("<none>"));
        if (a != e)
            QFAIL(qPrintable(QStringLiteral("%1 line %2:\n  actual   [%3]\n  expected [%4]\n  (actual text in %5)")
                                 .arg(name).arg(i + 1).arg(a, e, out.fileName())));
    }
}

TfmConcl *draft()
{
    return state::openWindow(state::windows().fmConcl);
}

TfmCard *cardWith(const QString &surname, const QString &firstName, const QString &patronymic,
                  const QString &date)
{
    TfmCard *card = state::ensureWindow(state::windows().fmCard);
    control<QLineEdit>(card, "FNameEdit")->setText(surname);
    control<QLineEdit>(card, "LNameEdit")->setText(firstName);
    control<QLineEdit>(card, "MNameEdit")->setText(patronymic);
    control<QLineEdit>(card, "EditDate")->setText(date);
    return card;
}

void writeHeaderAndSignature(const TestEnv &env)
{
    env.writeLines(kHeaderName, {QStringLiteral("КАБИНЕТ ИРИДОДИАГНОСТИКИ"), QString(),
                                 QStringLiteral("г. Тверь, ул. Советская, 5")});
    env.writeLines(kSignatureName, {QStringLiteral("Врач-иридолог ________ /Иванова/")});
}

// A pathology line of the dictionary layout.
QString pathology(int code, int system, const QString &text)
{
    return QStringLiteral("%1 %2 %3").arg(code, 4, 10, QLatin1Char('0')).arg(system, 2, 10, QLatin1Char('0')).arg(text);
}

QString heading(const QString &text)
{
    return QString(17, QLatin1Char(' ')) + text;
}

// Two eyes, both express methods, findings of three systems after two
// recordings.
void scriptFullExamination()
{
    ExaminationScript exam;
    exam.ExpressLines = {QStringLiteral("             КАРТА ЭКСПРЕСС-ОСМОТРА ПО ВЕЛЬХОВЕРУ:"),
                    QStringLiteral("Деформация зрачка"),
                    QStringLiteral("             ЭКСПРЕСС-ДИАГНОСТИКА ПО ВЕЛЬХОВЕРУ:"),
                    QStringLiteral("Уровень здоровья высокий [9/10]"),
                    QStringLiteral("             КАРТА ЭКСПРЕСС-ОСМОТРА ПО КРИВЕНКО:"),
                    QStringLiteral("Кольцо натрия"),
                    QStringLiteral("Токсические пятна"),
                    QStringLiteral("             ЭКСПРЕСС-ДИАГНОСТИКА ПО КРИВЕНКО:"),
                    QStringLiteral("Уровень здоровья выше среднего [14/16]")};
    exam.RightEyeSigns = {QStringLiteral("Лакуна: открытая (Печень)"), QStringLiteral("Радиальная борозда")};
    exam.LeftEyeSigns = {QStringLiteral("Пигментное пятно: токсическое")};
    const QStringList &unique = exam.UniquePathologyLines = {pathology(113, 5, QStringLiteral("Дискинезия желчевыводящих путей.")),
                            pathology(59, 1, QStringLiteral("Снижение адаптационных резервов организма.")),
                            pathology(60, 3, QStringLiteral("Склонность к вегетососудистой дистонии.")),
                            pathology(61, 5, QStringLiteral("Хронический гастрит.")),
                            pathology(7, 11, QStringLiteral("Рекомендуется очищение печени."))};
    exam.FindingLines = {heading(QStringLiteral("ОБЩАЯ ХАРАКТЕРИСТИКА ОРГАНИЗМА:")), unique.at(1),
                         heading(QStringLiteral("СЕРДЕЧНО-СОСУДИСТАЯ СИСТЕМА:")), unique.at(2),
                         heading(QStringLiteral("ПИЩЕВАРИТЕЛЬНАЯ СИСТЕМА:")), unique.at(0),
                         unique.at(3), heading(QStringLiteral("РЕКОМЕНДАЦИИ:")), unique.at(4)};
    exam.ConsultLines = {QStringLiteral("Консультации: устаревший список")};
    exam.DeepPassCount = 2;
}

state::Examination &exam()
{
    return state::examination();
}

QStringList summaryText()
{
    TfmConcl *w = draft();
    control<QPushButton>(w, "bbOKCnkl")->click();
    return control<Memo>(w, "mmConcl")->lines();
}

} // namespace

class TestConclusion : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    // "Итог"
    void summaryWithNothingRecorded();
    void summaryOfAFullExamination();
    void summaryWithRecommendationsOnly();
    void summaryAfterNewPatientIgnoresStaleFindings();
    void summaryWithoutHeaderAndSignature();
    void summaryStopsAtABadBodySystemCode();
    void summaryIsRepeatableAndTouchesOnlyModeAndConsultations();
    void findingsBeyondTheListReadEmpty();
    void patientLine();
    void consultations_data();
    void consultations();

    // "Сохранить"
    void proposedNamePerMode_data();
    void proposedNamePerMode();
    void cancelWritesNothing();
    void savedBytesAreWindows1251WithCrLf();
    void wrappedLinesAreSavedAsDisplayed();
    void failedSaveKeepsTheOldFileAndHandsOver();
    void savedHeaderFramesTheNextSummary();

    // Caret, hand-over, window
    void caretCountsDisplayedLines();
    void printingCopiesTheDraftToTheClipboard();
    void helpOpensContextTwo();
    void windowControls();

    // What the other windows use
    void doorInsertsAtADisplayedPlace();
};

void TestConclusion::initTestCase()
{
    QVERIFY(!QFontDatabase::families(QFontDatabase::Cyrillic).isEmpty());
}

void TestConclusion::summaryWithNothingRecorded()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(kHeaderName);
    env.seed(kSignatureName);
    exam().setConclMode(2);
    compareWithGolden(summaryText(), QStringLiteral("nothing_recorded.txt"));
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(exam().conclMode(), 0);
    QVERIFY(!state::windows().fmCard); // the summary never creates the card window
}

void TestConclusion::summaryOfAFullExamination()
{
    TestEnv env;
    ScriptedPrompter prompter;
    writeHeaderAndSignature(env);
    cardWith(QStringLiteral("Петрова"), QStringLiteral("Анна"), QStringLiteral("Сергеевна"),
             QStringLiteral("12.03.2025"))
        ->hide(); // existing is enough; visible or not
    scriptFullExamination();
    compareWithGolden(summaryText(), QStringLiteral("full_examination.txt"));
    QVERIFY(prompter.records.isEmpty());
    QCOMPARE(exam().consultLines().size(), 4);
    QCOMPARE(exam().consultLines().constFirst(),
             QStringLiteral("Консультации: терапевта, кардиолога, гастроэнтеролога, "));
}

void TestConclusion::summaryWithRecommendationsOnly()
{
    TestEnv env;
    ScriptedPrompter prompter;
    writeHeaderAndSignature(env);
    ExaminationScript exam;
    exam.LeftEyeSigns = {QStringLiteral("Кольцо натрия")};
    exam.UniquePathologyLines = {pathology(7, 11, QStringLiteral("Рекомендуется очищение печени.")),
                                 pathology(8, 11, QStringLiteral("Ограничить поваренную соль."))};
    exam.FindingLines = {heading(QStringLiteral("РЕКОМЕНДАЦИИ:")), exam.UniquePathologyLines.at(0),
                         exam.UniquePathologyLines.at(1)};
    exam.DeepPassCount = 1;
    compareWithGolden(summaryText(), QStringLiteral("recommendations_only.txt"));
}

void TestConclusion::summaryAfterNewPatientIgnoresStaleFindings()
{
    TestEnv env;
    ScriptedPrompter prompter;
    writeHeaderAndSignature(env);
    cardWith(QStringLiteral("Петрова"), QStringLiteral("Анна"), QStringLiteral("Сергеевна"),
             QStringLiteral("12.03.2025"));
    scriptFullExamination();
    conclusion::concl::newPatientReset();
    QVERIFY(!exam().findingLines().isEmpty()); // stale, and not shown
    compareWithGolden(summaryText(), QStringLiteral("after_new_patient.txt"));
}

void TestConclusion::summaryWithoutHeaderAndSignature()
{
    TestEnv env;
    ScriptedPrompter prompter;
    scriptFullExamination();
    compareWithGolden(summaryText(), QStringLiteral("no_header_no_signature.txt"));
    QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("File Caption.txt is absent"),
                                            QStringLiteral("File Signature.txt is absent")}));
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Message);
}

void TestConclusion::summaryStopsAtABadBodySystemCode()
{
    TestEnv env;
    ScriptedPrompter prompter;
    writeHeaderAndSignature(env);
    scriptFullExamination();
    // A line cut by hand: characters 6-7 are "5 ", which is not a code.
    ExaminationScript exam;
    exam.UniquePathologyLines[3] = QStringLiteral("0061 5 Хронический гастрит.");
    exam.FindingLines[6] = exam.UniquePathologyLines.at(3);
    compareWithGolden(summaryText(), QStringLiteral("bad_system_code.txt"));
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("'5 ' is not a valid integer value")});
    QCOMPARE(prompter.records.at(0).icon, QMessageBox::Critical);
    // The code-01 line stands before the bad one: its specialist was added
    // before the conversion failed.
    QCOMPARE(exam.ConsultLines.size(), 2);
}

void TestConclusion::summaryIsRepeatableAndTouchesOnlyModeAndConsultations()
{
    TestEnv env;
    ScriptedPrompter prompter;
    writeHeaderAndSignature(env);
    scriptFullExamination();
    exam().setConclCaret(7, 3);
    const QStringList right = exam().rightEyeSigns();
    const QStringList findings = exam().findingLines();
    const QStringList express = exam().expressLines();
    const QStringList first = summaryText();
    QCOMPARE(summaryText(), first);
    QCOMPARE(exam().rightEyeSigns(), right);
    QCOMPARE(exam().findingLines(), findings);
    QCOMPARE(exam().expressLines(), express);
    QCOMPARE(exam().deepPassCount(), 2);
    QCOMPARE(exam().conclCaretLine(), 7);
    QCOMPARE(exam().conclCaretColumn(), 3);
}

void TestConclusion::findingsBeyondTheListReadEmpty()
{
    // A body-system code outside 1-11 leaves elements the grouping gives no
    // heading; they read as empty lines, and a short element gives an empty line.
    TestEnv env;
    conclusion::Examined exam;
    exam.deep = conclusion::Examined::Deep{{heading(QStringLiteral("КОЖА:")), QStringLiteral("0005 09"), {}, {}},
                                           BuildConsultations({})};
    const conclusion::Summary s = conclusion::assembleSummary(exam, std::nullopt);
    const qsizetype title = s.lines.indexOf(QString(32, QLatin1Char(' ')) + QStringLiteral("ЗАКЛЮЧЕНИЕ ИРИДОЛОГА:"));
    QVERIFY(title > 0);
    QCOMPARE(s.lines.mid(title + 1, 5), (QStringList{QString(9, QLatin1Char(' ')) + QStringLiteral("КОЖА:"),
                                                     QString(), QString(), QString(),
                                                     QStringLiteral("Консультации: ")}));
}

void TestConclusion::patientLine()
{
    QCOMPARE(conclusion::patientLine(std::nullopt),
             QStringLiteral("Ф.И.О.") + QString(61, QLatin1Char(' ')) + QStringLiteral("Дата:"));
    const conclusion::CardFields card{QStringLiteral("Петров"), QStringLiteral("Олег"), QStringLiteral("Ильич"),
                                      QStringLiteral("Дата:"), QStringLiteral("01.02.2025")};
    QCOMPARE(conclusion::patientLine(card),
             QStringLiteral("Олег Ильич Петров") + QString(44, QLatin1Char(' ')) + QStringLiteral("Дата: 01.02.2025"));
    QCOMPARE(conclusion::patientLine(conclusion::CardFields{{}, {}, {}, QStringLiteral("Дата:"), {}}),
             QStringLiteral("  ") + QString(44, QLatin1Char(' ')) + QStringLiteral("Дата: "));
}

void TestConclusion::consultations_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QString>("error");
    const QString lead = QStringLiteral("Консультации: ");
    QTest::newRow("none") << QStringList{} << 0 << lead << QString();
    QTest::newRow("code order, each once")
        << QStringList{pathology(1, 3, "a"), pathology(2, 1, "b"), pathology(3, 3, "c")} << 3
        << lead + QStringLiteral("терапевта, кардиолога, ") << QString();
    QTest::newRow("every specialist")
        << QStringList{pathology(1, 10, "a"), pathology(1, 9, "a"), pathology(1, 8, "a"), pathology(1, 7, "a"),
                       pathology(1, 6, "a"), pathology(1, 5, "a"), pathology(1, 4, "a"), pathology(1, 3, "a"),
                       pathology(1, 2, "a"), pathology(1, 1, "a")}
        << 10
        << lead + QStringLiteral("терапевта, невропатолога, кардиолога, пульмонолога, гастроэнтеролога, уролога, "
                                 "эндокринолога, вертебролога, дерматолога, окулиста, ЛОР, ")
        << QString();
    QTest::newRow("recommendations and odd codes") << QStringList{pathology(1, 11, "a"), QStringLiteral("0001 00 x"),
                                                                  QStringLiteral("0001 12 y"), QStringLiteral("0001  4 z")}
                                                   << 4 << lead + QStringLiteral("пульмонолога, ") << QString();
    QTest::newRow("only the counted lines") << QStringList{pathology(1, 2, "a"), pathology(1, 3, "b")} << 1
                                            << lead + QStringLiteral("невропатолога, ") << QString();
    QTest::newRow("bad code anywhere fails")
        << QStringList{pathology(1, 1, "a"), QStringLiteral("0001 x1 b")} << 2 << lead
        << QStringLiteral("'x1' is not a valid integer value");
    QTest::newRow("short line fails") << QStringList{QStringLiteral("0001")} << 1 << lead
                                      << QStringLiteral("'' is not a valid integer value");
}

void TestConclusion::consultations()
{
    QFETCH(QStringList, lines);
    QFETCH(int, count);
    QFETCH(QString, sentence);
    QFETCH(QString, error);
    const Consultations got = BuildConsultations(lines.first(count));
    QCOMPARE(got.ok, error.isEmpty());
    QCOMPARE(got.error, error);
    QCOMPARE(got.lines.constFirst(), sentence);
}

void TestConclusion::proposedNamePerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("cardBefore");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("conclusion") << 0 << true << QStringLiteral("Петров");
    QTest::newRow("conclusion, no card yet") << 0 << false << QString();
    QTest::newRow("header") << 1 << true << QStringLiteral("Caption.txt");
    QTest::newRow("signature") << 2 << false << QStringLiteral("Signature.txt");
}

void TestConclusion::proposedNamePerMode()
{
    QFETCH(int, mode);
    QFETCH(bool, cardBefore);
    QFETCH(QString, proposed);
    TestEnv env;
    ScriptedPrompter prompter;
    if (cardBefore)
        cardWith(QStringLiteral("Петров"), {}, {}, {})->hide();
    exam().setConclMode(mode);
    TfmConcl *w = draft();
    control<QPushButton>(w, "bbSaveCncl")->click();
    QVERIFY(state::windows().fmCard && state::windows().fmCard->isVisible()); // the card comes up in every mode
    QCOMPARE(prompter.records.size(), 1);
    const PromptRecord &r = prompter.records.constFirst();
    QCOMPARE(r.kind, PromptRecord::Save);
    QCOMPARE(r.request.fileName, proposed);
    QCOMPARE(r.request.filter, QStringLiteral("текстовый файл|*.txt"));
    QCOMPARE(r.request.defaultSuffix, QStringLiteral("txt"));
}

void TestConclusion::cancelWritesNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    control<QLineEdit>(cardWith(QStringLiteral("Петров"), {}, {}, {}), "ConclEdit")->setText(QStringLiteral("прежнее.txt"));
    TfmConcl *w = draft();
    control<Memo>(w, "mmConcl")->setLines({QStringLiteral("текст")});
    const QStringList before = QDir(env.path()).entryList(QDir::Files);
    prompter.fileNames = {QString()};
    control<QPushButton>(w, "bbSaveCncl")->click();
    QCOMPARE(QDir(env.path()).entryList(QDir::Files), before);
    QCOMPARE(control<QLineEdit>(state::windows().fmCard, "ConclEdit")->text(), QStringLiteral("прежнее.txt"));
    QCOMPARE(prompter.texts(), QStringList{});
    QCOMPARE(QDir::currentPath(), QDir(env.path()).absolutePath());
}

void TestConclusion::savedBytesAreWindows1251WithCrLf()
{
    TestEnv env;
    ScriptedPrompter prompter;
    cardWith(QStringLiteral("Петров"), {}, {}, {});
    TfmConcl *w = draft();
    control<Memo>(w, "mmConcl")->setLines({QStringLiteral("Дата"), QString(), QStringLiteral("ёЁ №1")});
    const QString target = env.path(QStringLiteral("Петров.txt"));
    prompter.fileNames = {target};
    control<QPushButton>(w, "bbSaveCncl")->click();
    QCOMPARE(env.readBytes(QStringLiteral("Петров.txt")),
             QByteArray("\xC4\xE0\xF2\xE0\r\n\r\n\xB8\xA8 \xB9"
                        "1\r\n"));
    QCOMPARE(control<QLineEdit>(state::windows().fmCard, "ConclEdit")->text(), target);
    QVERIFY(prompter.texts().isEmpty());
}

void TestConclusion::wrappedLinesAreSavedAsDisplayed()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmConcl *w = draft();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QStringList words;
    for (int i = 0; i < 60; ++i)
        words << QStringLiteral("слово%1").arg(i);
    const QString longLine = words.join(QLatin1Char(' '));
    control<Memo>(w, "mmConcl")->setLines({QStringLiteral("коротко"), longLine, QStringLiteral("конец")});
    exam().setConclMode(1);
    prompter.fileNames = {env.path(kHeaderName)};
    control<QPushButton>(w, "bbSaveCncl")->click();
    const platform::textfile::ReadResult saved = platform::textfile::readLines(env.path(kHeaderName));
    QVERIFY(saved.ok);
    QCOMPARE(saved.lines, control<Memo>(w, "mmConcl")->displayedLines());
    QVERIFY(saved.lines.size() > 4);
    QCOMPARE(saved.lines.constFirst(), QStringLiteral("коротко"));
    QCOMPARE(saved.lines.constLast(), QStringLiteral("конец"));
    // Broken at blanks: the pieces joined by one blank give the line back.
    QCOMPARE(saved.lines.mid(1, saved.lines.size() - 2).join(QLatin1Char(' ')), longLine);
    for (const QString &piece : saved.lines)
        QVERIFY(control<Memo>(w, "mmConcl")->fontMetrics().horizontalAdvance(piece) <= control<Memo>(w, "mmConcl")->viewport()->width());
}

void TestConclusion::failedSaveKeepsTheOldFileAndHandsOver()
{
    TestEnv env;
    ScriptedPrompter prompter;
    const QByteArray old("old\r\n");
    env.writeBytes(QStringLiteral("Петров.txt"), old);
    control<QLineEdit>(cardWith(QStringLiteral("Петров"), {}, {}, {}), "ConclEdit")->setText(QStringLiteral("прежнее.txt"));
    TfmConcl *w = draft();
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("Строка заключения номер %1").arg(i);
    control<Memo>(w, "mmConcl")->setLines(lines);
    QGuiApplication::clipboard()->setText(QStringLiteral("прежнее содержимое"));
    prompter.fileNames = {env.path(QStringLiteral("Петров.txt"))};
    {
        WriteLimit limit(1000);
        control<QPushButton>(w, "bbSaveCncl")->click();
    }
    QCOMPARE(env.readBytes(QStringLiteral("Петров.txt")), old);
    QCOMPARE(prompter.texts(),
             QStringList{QStringLiteral("Отредактируйте и сохраните заключение. Помните - его нет в картотеке!")});
    QCOMPARE(prompter.records.constLast().icon, QMessageBox::Information);
    // The card keeps the conclusion it had; the text went to the clipboard for the editor.
    QCOMPARE(control<QLineEdit>(state::windows().fmCard, "ConclEdit")->text(), QStringLiteral("прежнее.txt"));
    QCOMPARE(QGuiApplication::clipboard()->text(), lines.join(QLatin1Char('\n')));
    QCOMPARE(QDir(env.path()).entryList(QDir::Files), QStringList{QStringLiteral("Петров.txt")});
}

void TestConclusion::savedHeaderFramesTheNextSummary()
{
    TestEnv env;
    ScriptedPrompter prompter;
    shell::CaptureItemClick();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File Caption.txt is absent")});
    TfmConcl *w = state::windows().fmConcl;
    QVERIFY(w && w->isVisible());
    QCOMPARE(control<Memo>(w, "mmConcl")->lineCount(), 0);
    const QStringList header{QStringLiteral("Кабинет доктора Иванова"), QString(), QStringLiteral("тел. 12-34-56")};
    control<Memo>(w, "mmConcl")->setLines(header);
    prompter.clear();
    prompter.fileNames = {kHeaderName}; // relative: the working directory
    control<QPushButton>(w, "bbSaveCncl")->click();
    QCOMPARE(prompter.records.constFirst().request.fileName, kHeaderName);
    QVERIFY(state::windows().fmCard);
    QCOMPARE(control<QLineEdit>(state::windows().fmCard, "ConclEdit")->text(), QString()); // only a conclusion is linked to the card
    control<QPushButton>(w, "bbOKCnkl")->click();
    QCOMPARE(control<Memo>(w, "mmConcl")->lines().mid(0, 4), header + QStringList{QString()});
    QCOMPARE(exam().conclMode(), 0);
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File Signature.txt is absent")});
}

void TestConclusion::caretCountsDisplayedLines()
{
    TestEnv env;
    TfmConcl *w = draft();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(exam().conclCaretLine(), 0);
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("слово%1").arg(i);
    control<Memo>(w, "mmConcl")->setLines({QStringLiteral("первая"), words.join(QLatin1Char(' ')), QStringLiteral("abcdef")});
    const QStringList shown = control<Memo>(w, "mmConcl")->displayedLines();
    QVERIFY(shown.size() >= 4);

    const auto clickAt = [w](int block, int column) {
        QTextCursor c(control<Memo>(w, "mmConcl")->document()->findBlockByNumber(block));
        c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
        control<Memo>(w, "mmConcl")->ensureCursorVisible();
        control<Memo>(w, "mmConcl")->setTextCursor(c);
        control<Memo>(w, "mmConcl")->ensureCursorVisible();
        const QRect r = control<Memo>(w, "mmConcl")->cursorRect(c);
        control<Memo>(w, "mmConcl")->setTextCursor(QTextCursor(control<Memo>(w, "mmConcl")->document()));
        QTest::mouseClick(control<Memo>(w, "mmConcl")->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 1, r.center().y()));
    };

    clickAt(2, 3); // "abc|def", after all the wrapped pieces
    QCOMPARE(exam().conclCaretLine(), int(shown.size() - 1));
    QCOMPARE(exam().conclCaretColumn(), 3);

    // Within the second displayed piece of the long line.
    const QString second = shown.at(2);
    const int startOfSecond = int(words.join(QLatin1Char(' ')).indexOf(second));
    clickAt(1, startOfSecond + 2);
    QCOMPARE(exam().conclCaretLine(), 2);
    QCOMPARE(exam().conclCaretColumn(), 2);

    clickAt(0, 0);
    QCOMPARE(exam().conclCaretLine(), 0);
    QCOMPARE(exam().conclCaretColumn(), 0);

    // A double click is a press as well: the caret ends after the word it selects.
    {
        const QRect r = control<Memo>(w, "mmConcl")->cursorRect(QTextCursor(control<Memo>(w, "mmConcl")->document()->findBlockByNumber(2)));
        const QPoint at(r.left() + 1, r.center().y());
        QTest::mouseClick(control<Memo>(w, "mmConcl")->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(exam().conclCaretColumn(), 0);
        QTest::mouseDClick(control<Memo>(w, "mmConcl")->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(control<Memo>(w, "mmConcl")->textCursor().selectedText(), QStringLiteral("abcdef"));
        QCOMPARE(exam().conclCaretLine(), int(shown.size() - 1));
        QCOMPARE(exam().conclCaretColumn(), 6);
    }

    // A right-button press reports the caret too, wherever it stands.
    control<Memo>(w, "mmConcl")->setTextCursor(QTextCursor(control<Memo>(w, "mmConcl")->document()->findBlockByNumber(2)));
    exam().setConclCaret(-1, exam().conclCaretColumn());
    QTest::mouseClick(control<Memo>(w, "mmConcl")->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(exam().conclCaretLine() >= 0);
}

void TestConclusion::printingCopiesTheDraftToTheClipboard()
{
    TestEnv env;
    TfmConcl *w = draft();
    control<Memo>(w, "mmConcl")->setLines({QStringLiteral("Заключение"), QString(), QStringLiteral("подпись")});
    QGuiApplication::clipboard()->setText(QStringLiteral("прежнее"));
    control<QPushButton>(w, "bbEditCncl")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Заключение\n\nподпись"));
    QCOMPARE(control<Memo>(w, "mmConcl")->lines().size(), 3); // the draft itself is unchanged
}

void TestConclusion::helpOpensContextTwo()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    control<QPushButton>(draft(), "bbHelpCncl")->click();
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentAnchor(), QStringLiteral("ctx2"));
}

void TestConclusion::windowControls()
{
    TestEnv env;
    TfmConcl *w = draft();
    QCOMPARE(w->windowTitle(), QStringLiteral("Заключение"));
    QCOMPARE(w->size(), QSize(386, 442));
    QCOMPARE(control<Memo>(w, "mmConcl")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(control<Memo>(w, "mmConcl")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(control<Memo>(w, "mmConcl")->statusTip(), QStringLiteral("Черновое заключение"));
    QCOMPARE(control<Memo>(w, "mmConcl")->accessibleName(), QStringLiteral("Черновое заключение"));
    const QList<std::pair<QPushButton *, QStringList>> buttons{
        {control<QPushButton>(w, "bbOKCnkl"), {"Итог", "Результаты автоматизированной диагностики"}},
        {control<QPushButton>(w, "bbSaveCncl"), {"Сохранить", "Сохранение текта заключения на диске"}},
        {control<QPushButton>(w, "bbEditCncl"), {"Печатать", "Редактирование и печать текста заключения"}},
        {control<QPushButton>(w, "bbHelpCncl"), {"Помощь", "Справка по разделу \"Заключение иридолога\""}}};
    int previousX = -1;
    for (const auto &[button, texts] : buttons) {
        QCOMPARE(button->text(), texts.at(0));
        QCOMPARE(button->accessibleName(), texts.at(0));
        QCOMPARE(button->toolTip(), texts.at(1));
        QCOMPARE(button->statusTip(), texts.at(1));
        QVERIFY(button->x() > previousX);
        QVERIFY(button->y() > control<Memo>(w, "mmConcl")->y());
        previousX = button->x();
    }
    w->close();
    QVERIFY(state::windows().fmConcl); // closing only hides
}

void TestConclusion::doorInsertsAtADisplayedPlace()
{
    TestEnv env;
    QCOMPARE(conclusion::concl::lines(), QStringList{});
    QVERIFY(!conclusion::concl::exists()); // reading makes no window
    conclusion::concl::open();
    QVERIFY(QTest::qWaitForWindowExposed(state::windows().fmConcl));
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("слово%1").arg(i);
    const QString longLine = words.join(QLatin1Char(' '));
    conclusion::concl::setLines({QStringLiteral("первая"), longLine, QStringLiteral("abcdef")});
    const QStringList shown = control<Memo>(draft(), "mmConcl")->displayedLines();
    QVERIFY(shown.size() >= 4);

    // Two one-letter phrases chained at column 3 of a six-character line.
    const int last = int(shown.size() - 1);
    exam().draftDocument()->insertAtDisplayed(last, 3, QStringLiteral("A"));
    exam().draftDocument()->insertAtDisplayed(last, 4, QStringLiteral("B"));
    QCOMPARE(conclusion::concl::lines().at(2), QStringLiteral("abcABdef"));

    // Within the second displayed piece of the long line.
    exam().draftDocument()->insertAtDisplayed(2, 2, QStringLiteral("[x]"));
    QCOMPARE(conclusion::concl::lines().at(1), QString(longLine).insert(longLine.indexOf(shown.at(2)) + 2, QStringLiteral("[x]")));

    // Past the end of a line: at its end. A line the box does not show: nothing.
    exam().draftDocument()->insertAtDisplayed(0, 99, QStringLiteral("!"));
    QCOMPARE(conclusion::concl::lines().at(0), QStringLiteral("первая!"));
    const QStringList before = conclusion::concl::lines();
    exam().draftDocument()->insertAtDisplayed(int(shown.size()) + 5, 0, QStringLiteral("X"));
    QCOMPARE(conclusion::concl::lines(), before);

    conclusion::concl::clear();
    conclusion::concl::appendLines({QStringLiteral("a")});
    conclusion::concl::appendLines({QString(), QStringLiteral("b")});
    QCOMPARE(conclusion::concl::lines(), (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
}

QTEST_MAIN(TestConclusion)
#include "test_conclusion.moc"
