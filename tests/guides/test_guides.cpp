// The guide menu over the shipped guide texts, loading a text, and phrases
// taken into the draft conclusion at the place last marked there (the draft
// is reached through its door).
#include "conclusion/concldoor.h"
#include "conclusion/tfmconcl.h"
#include "guides/guidedoor.h"
#include "guides/guidemenu.h"
#include "guides/tfmguid.h"
#include "platform/cp1251.h"
#include "platform/pressmemo.h"
#include "platform/textfile.h"
#include "state/examination.h"
#include "state/windows.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAction>
#include <QDir>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QtTest>

namespace {

TfmGuid *guide()
{
    guides::open();
    return state::windows().fmGuid.data();
}

// A press on a line of the guide text, as the mouse makes it: the caret is
// put on the line, then the handler runs.
void take(TfmGuid *w, int line)
{
    QTextCursor c(control<PressMemo>(w, "MemoGuidIri")->document()->findBlockByNumber(line));
    control<PressMemo>(w, "MemoGuidIri")->setTextCursor(c);
    control<PressMemo>(w, "MemoGuidIri")->pressed();
}

} // namespace

class TestGuides : public QObject {
    Q_OBJECT
private slots:
    void menuNamesEveryShippedTextOnce();
    void menuLoadsTheTexts();
    void phrasesGoIntoTheDraft();
    void phrasesFollowDisplayedLines();
    void findingsWriteYoAsTheGuidesDo();
    void guidesGiveNothingBeforeTheDoctor();
};

void TestGuides::menuNamesEveryShippedTextOnce()
{
    QSet<QString> named;
    int leaves = 0;
    for (const guides::MenuRow &row : guides::menuRows()) {
        if (row.file) {
            ++leaves;
            named.insert(QString::fromLatin1(row.file) + QStringLiteral(".txt"));
        }
    }
    QCOMPARE(leaves, 251);
    QCOMPARE(named.size(), 238);

    const QDir folder(TestEnv::sourcePath(QStringLiteral("data/guidText")));
    const QStringList shipped = folder.entryList(QDir::Files);
    QCOMPARE(QSet<QString>(shipped.begin(), shipped.end()), named);
    QSet<QByteArray> contents;
    for (const QString &name : shipped) {
        QFile f(folder.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY2(bytes.endsWith("\r\n") && !bytes.contains("\r\n\r\n"), qPrintable(name));
        QVERIFY2(bytes.count('\n') == bytes.count("\r\n") && bytes.count('\r') == bytes.count("\r\n"), qPrintable(name));
        const QString text = platform::cp1251::decode(bytes);
        QVERIFY2(text.contains(QChar(u'а')) && text.count(QLatin1Char('\n')) >= 8, qPrintable(name));
        QVERIFY2(!contents.contains(bytes), qPrintable(name)); // no two texts alike
        contents.insert(bytes);
    }
}

void TestGuides::menuLoadsTheTexts()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmGuid *w = guide();
    QVERIFY(control<QRadioButton>(w, "rbString")->isChecked());
    QList<QAction *> items;
    for (QAction *a : control<QMenuBar>(w, "MainMenu1")->findChildren<QAction *>())
        if (!a->menu() && !a->text().isEmpty() && a->objectName().endsWith(QLatin1String("Item")))
            items.append(a);
    QCOMPARE(items.size(), 251);

    // "Кожа" under the body systems and under the letter "К" load one file.
    env.writeLines("guidText/GomKoja.txt", {QStringLiteral("Кожа: средства"), QStringLiteral("Sulfur C6")});
    QList<QAction *> skin;
    for (QAction *a : items)
        if (a->text() == QStringLiteral("Кожа") && a->objectName() != QLatin1String("IriSkinItem"))
            skin.append(a);
    QCOMPARE(skin.size(), 2);
    skin.at(0)->trigger();
    QCOMPARE(control<PressMemo>(w, "MemoGuidIri")->lines(), (QStringList{"Кожа: средства", "Sulfur C6"}));
    control<PressMemo>(w, "MemoGuidIri")->clearLines();
    skin.at(1)->trigger();
    QCOMPARE(control<PressMemo>(w, "MemoGuidIri")->lines(), (QStringList{"Кожа: средства", "Sulfur C6"}));
    QCOMPARE(w->GuideFileName, QStringLiteral(".\\guidText\\GomKoja.txt"));
    // Both "Кожа" submenus hold all eight of their items.
    for (const char *name : {"GomZabKojaIndex", "N12"}) {
        const QMenu *menu = control<QMenuBar>(w, "MainMenu1")->findChild<QMenu *>(QLatin1String(name));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 8);
        QCOMPARE(menu->actions().constLast()->text(), QStringLiteral("Дерматиты"));
    }

    // A missing text: named exactly as the item passes it.
    for (QAction *a : items)
        if (a->objectName() == QLatin1String("IriNervItem"))
            a->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("File .\\guidText\\IriNerv.txt is absent")});
    QVERIFY(control<PressMemo>(w, "MemoGuidIri")->lines().isEmpty());
}

void TestGuides::phrasesGoIntoTheDraft()
{
    TestEnv env;
    state::Examination &exam = state::examination();
    TfmGuid *w = guide();
    control<PressMemo>(w, "MemoGuidIri")->setLines({QStringLiteral("A"), QStringLiteral("B"), QString(), QStringLiteral("Фраза.")});
    conclusion::concl::setLines({QStringLiteral("abcdef"), QStringLiteral("second")});

    // "Блоком": a press changes nothing.
    control<QRadioButton>(w, "rbBlock")->setChecked(true);
    take(w, 0);
    QCOMPARE(conclusion::concl::lines(), (QStringList{"abcdef", "second"}));
    control<QRadioButton>(w, "rbString")->setChecked(true);

    // Before any press in the draft, the place is line 0, column 0.
    take(w, 3);
    QCOMPARE(conclusion::concl::lines().constFirst(), QStringLiteral("Фраза.abcdef"));
    QCOMPARE(exam.conclCaretColumn(), 6);
    QCOMPARE(exam.guidePhrase(), QStringLiteral("Фраза."));

    // Two one-letter phrases at column 3 go in one after the other.
    conclusion::concl::setLines({QStringLiteral("abcdef")});
    exam.setConclCaret(0, 3);
    take(w, 0);
    take(w, 1);
    QCOMPARE(conclusion::concl::lines(), QStringList{QStringLiteral("abcABdef")});
    QCOMPARE(exam.conclCaretColumn(), 5);
    QCOMPARE(exam.conclLineHead(), QStringLiteral("abcA"));
    QCOMPARE(exam.conclLineTail(), QStringLiteral("def"));

    // Each press inserts once (a double click: twice); an empty line inserts
    // nothing and leaves the column, but is marked as taken.
    take(w, 0);
    take(w, 0);
    QCOMPARE(conclusion::concl::lines(), QStringList{QStringLiteral("abcABAAdef")});
    take(w, 2);
    QCOMPARE(conclusion::concl::lines(), QStringList{QStringLiteral("abcABAAdef")});
    QCOMPARE(exam.conclCaretColumn(), 7);
    QCOMPARE(exam.guideLineIndex(), 2);

    // A place past the end changes nothing but still advances.
    exam.setConclCaret(5, exam.conclCaretColumn());
    take(w, 1);
    QCOMPARE(conclusion::concl::lines(), QStringList{QStringLiteral("abcABAAdef")});
    QCOMPARE(exam.conclCaretColumn(), 8);

    // A hidden draft window comes back with the phrase.
    exam.setConclCaret(0, 0);
    state::windows().fmConcl->hide();
    take(w, 1);
    QVERIFY(state::windows().fmConcl->isVisible());
    QCOMPARE(conclusion::concl::lines(), QStringList{QStringLiteral("BabcABAAdef")});
}

// The draft counts its lines as it displays them: a long line wrapped in two
// takes a phrase at the start of its second displayed line.
void TestGuides::phrasesFollowDisplayedLines()
{
    TestEnv env;
    state::Examination &exam = state::examination();
    TfmGuid *w = guide();
    control<PressMemo>(w, "MemoGuidIri")->setLines({QStringLiteral("<вставка>")});
    QString longLine;
    for (int i = 0; i < 40; ++i)
        longLine += QStringLiteral("слово%1 ").arg(i);
    conclusion::concl::open();
    conclusion::concl::setLines({longLine.trimmed(), QStringLiteral("конец")});
    const QString second = exam.draftDocument()->displayedLine(1);
    QVERIFY(!second.isEmpty() && second != QStringLiteral("конец")); // the first line is wrapped
    exam.setConclCaret(1, 0);
    take(w, 0);
    QCOMPARE(exam.draftDocument()->displayedLine(1).left(9), QStringLiteral("<вставка>"));
    QCOMPARE(conclusion::concl::lines().size(), 2);
    QCOMPARE(conclusion::concl::lines().at(1), QStringLiteral("конец"));
}

// The findings of a conclusion are dictionary lines with zone names after
// them, and guide phrases are taken in beside them: a word the guides write
// with ё is written so in the dictionary and the organ files as well.
void TestGuides::findingsWriteYoAsTheGuidesDo()
{
    static const QRegularExpression word(QStringLiteral("\\p{L}+"));
    const auto eachWord = [](const QString &path, const auto &take) {
        const platform::textfile::ReadResult r = platform::textfile::readLines(path);
        QVERIFY2(r.ok && !r.lines.isEmpty(), qPrintable(path));
        for (const QString &line : r.lines) {
            QRegularExpressionMatchIterator it = word.globalMatch(line);
            while (it.hasNext())
                take(it.next().captured().toLower());
        }
    };
    QHash<QString, QString> guidesWrite; // spelled with е -> as the guides spell it
    const QDir guides(TestEnv::sourcePath(QStringLiteral("data/guidText")));
    for (const QString &name : guides.entryList(QDir::Files))
        eachWord(guides.filePath(name), [&](const QString &w) {
            if (w.contains(QChar(u'ё')))
                guidesWrite.insert(QString(w).replace(QChar(u'ё'), QChar(u'е')), w);
        });
    QVERIFY(guidesWrite.size() > 100);

    QStringList without;
    for (const char *file : {"Patology.txt", "DeckOrgans.txt", "JensOrgans.txt", "ZrachOrgansR.txt", "ZrachOrgansL.txt"})
        eachWord(TestEnv::sourcePath(QStringLiteral("data/SystmTxt/") + QLatin1String(file)), [&](const QString &w) {
            if (guidesWrite.contains(w))
                without << QLatin1String(file) + QStringLiteral(": ") + w;
        });
    QVERIFY2(without.isEmpty(), qPrintable(without.join(QStringLiteral(", "))));
}

// No remedy is offered for the time before emergency care arrives (a patient
// who is not fully conscious gets nothing by mouth), and "со" stands before
// the clusters that take it ("со жгучим", "со вздутием", "со рвотой").
void TestGuides::guidesGiveNothingBeforeTheDoctor()
{
    static const QRegularExpression beforeDoctor(QStringLiteral("до прибытия врача"));
    static const QRegularExpression bareS(QStringLiteral("(?<!\\p{L})[Сс] (жг|жж|вз|рв)\\p{L}"));
    QStringList faults;
    const QDir guides(TestEnv::sourcePath(QStringLiteral("data/guidText")));
    for (const QString &name : guides.entryList(QDir::Files)) {
        const platform::textfile::ReadResult r = platform::textfile::readLines(guides.filePath(name));
        QVERIFY2(r.ok, qPrintable(name));
        for (qsizetype i = 0; i < r.lines.size(); ++i)
            if (r.lines.at(i).contains(beforeDoctor) || r.lines.at(i).contains(bareS))
                faults << QStringLiteral("%1:%2: %3").arg(name).arg(i + 1).arg(r.lines.at(i));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestGuides)
#include "test_guides.moc"
