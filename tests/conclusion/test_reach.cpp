// The final conclusion editor: the hand-overs into it, its file commands and
// their questions, the default attributes, the edit actions, the ruler, the
// tool bar following the caret, hints, drops, help, printing.
#include "conclusion/reachdoor.h"
#include "conclusion/reachfile.h"
#include "conclusion/reachruler.h"
#include "conclusion/tfmconcl.h"
#include "conclusion/tfmreach.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "help/helpviewer.h"
#include "platform/hints.h"
#include "state/openwindow.h"
#include "shell/tfmnirel3.h"
#include "state/windows.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextList>
#include <QToolButton>
#include <QtTest>

namespace {

const QString kUntitled = QStringLiteral("Безымянный");

// The draft window holding these lines, handed over by "Печатать".
TfmReach *handedOver(const QStringList &lines)
{
    TfmConcl *draft = state::openWindow(state::windows().fmConcl);
    control<Memo>(draft, "mmConcl")->setLines(lines);
    control<QPushButton>(draft, "bbEditCncl")->click();
    return state::windows().fmReach.data();
}

TfmReach *editorWith(const QString &text)
{
    conclusion::reach::open();
    TfmReach *w = state::windows().fmReach.data();
    control<ReachEditor>(w, "Editor")->setPlainText(text);
    control<ReachEditor>(w, "Editor")->document()->setModified(true);
    return w;
}

void placeCaret(TfmReach *w, int block, int column = 0)
{
    QTextCursor c(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(block));
    c.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    control<ReachEditor>(w, "Editor")->setTextCursor(c);
}

bool anyBold(const QTextDocument *doc)
{
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().fontWeight() >= QFont::Bold)
                return true;
    return false;
}

} // namespace

class TestReach : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    // Hand-overs
    void printingHandsTheDraftOver();
    void failedDraftSaveHandsOver();
    void cleanCopyWithoutDraftKeepsTextAndClipboard();
    void cleanCopyTakesTheDraftInTwelvePoints();

    // Files
    void firstSaveAfterHandOverAsksForAName();
    void newAsksBeforeDroppingEdits_data();
    void newAsksBeforeDroppingEdits();
    void unsavedTextStaysWhenTheSaveDoesNotHappen_data();
    void unsavedTextStaysWhenTheSaveDoesNotHappen();
    void programEndAsksNothing();
    void textFilterStillWritesRtf();
    void refusedOverwriteSavesNothing();
    void failedSaveKeepsTheOldFile();
    void opensPlainTextAndRtf();
    void unreadableFileLeavesTheText();
    void listStartsAreKeptAndTheCaretPassesThem();
    void droppedFilesOpenOnlyTheFirst();
    void commandLineNamesAnExistingFile();

    // Formatting and tool bar
    void nothingSelectedChangesTheDefaultAttributes();
    void sizeBoxRejectsWhatIsNotAnInteger();
    void cutAndCopyNeedASelection();
    void caretInACentredParagraphPutsCenterAlignDown();
    void bulletsButtonFollowsAndSetsTheList();
    void statusBarShowsCaretAndModifiedMark();

    // Ruler
    void rulerArithmetic_data();
    void rulerArithmetic();
    void firstMarkerDragKeepsTheLeftMarker_data();
    void firstMarkerDragKeepsTheLeftMarker();

    // Hints, help, printing
    void hintsMoveToTheEditorForGood();
    void helpOpensContextEleven();
    void irisPhotosNeedAPatientWithPhotos();
    void hugeParagraphsOpenInPieces();
    void printsToPdf();
    void exportsPdfUnderTheDocumentsName();
};

void TestReach::initTestCase()
{
    QVERIFY(!QFontDatabase::families(QFontDatabase::Cyrillic).isEmpty());
    QApplication::setApplicationName(QStringLiteral("Nirel-3"));
}

void TestReach::init()
{
    QGuiApplication::clipboard()->clear();
}

void TestReach::printingHandsTheDraftOver()
{
    TestEnv env;
    const QStringList lines{QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ"), QString(), QStringLiteral("Подпись")};
    TfmReach *w = handedOver(lines);
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->parentWidget(), state::windows().fmConcl.data()); // owned by the draft window
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), lines.join(QLatin1Char('\n')));
    QCOMPARE(QGuiApplication::clipboard()->text(), lines.join(QLatin1Char('\n')));
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->isModified());
    QCOMPARE(control<QLabel>(w, "StatusPanel1")->text(), QStringLiteral("Измененный"));
    QCOMPARE(w->DocumentName, kUntitled);
    // A second hand-over replaces the text; still one editor.
    TfmReach *again = handedOver({QStringLiteral("другое")});
    QCOMPARE(again, w);
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("другое"));
}

void TestReach::failedDraftSaveHandsOver()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmConcl *draft = state::openWindow(state::windows().fmConcl);
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("Строка заключения %1").arg(i);
    control<Memo>(draft, "mmConcl")->setLines(lines);
    prompter.fileNames = {env.path(QStringLiteral("Петров.txt"))};
    {
        WriteLimit limit(1000);
        control<QPushButton>(draft, "bbSaveCncl")->click();
    }
    QVERIFY(state::windows().fmReach && state::windows().fmReach->isVisible());
    QCOMPARE(control<ReachEditor>(state::windows().fmReach, "Editor")->toPlainText(), lines.join(QLatin1Char('\n')));
    QCOMPARE(prompter.texts().constLast(),
             QStringLiteral("Отредактируйте и сохраните заключение. Помните - его нет в картотеке!"));
}

void TestReach::cleanCopyWithoutDraftKeepsTextAndClipboard()
{
    TestEnv env;
    auto *main = new TfmNirel3();
    state::windows().fmNirel3 = main;
    QGuiApplication::clipboard()->setText(QStringLiteral("чужое"));
    control<QAction>(main, "CnclEdit")->trigger();
    TfmReach *w = state::windows().fmReach.data();
    QVERIFY(w && w->isVisible());
    QCOMPARE(w->parentWidget(), main);
    control<ReachEditor>(w, "Editor")->setPlainText(QStringLiteral("прежний текст"));
    control<QAction>(main, "CnclEdit")->trigger();
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("прежний текст"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("чужое"));
}

void TestReach::cleanCopyTakesTheDraftInTwelvePoints()
{
    TestEnv env;
    auto *main = new TfmNirel3();
    state::windows().fmNirel3 = main;
    control<Memo>(state::openWindow(state::windows().fmConcl), "mmConcl")->setLines({QStringLiteral("первая"), QStringLiteral("вторая")});
    control<QAction>(main, "CnclEdit")->trigger();
    TfmReach *w = state::windows().fmReach.data();
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("первая\nвторая"));
    QCOMPARE(control<ReachEditor>(w, "Editor")->textCursor().selectedText(), QStringLiteral("первая") + QChar(QChar::ParagraphSeparator) +
                                                         QStringLiteral("вторая"));
    for (QTextBlock b = control<ReachEditor>(w, "Editor")->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            QCOMPARE(it.fragment().charFormat().fontPointSize(), 12.0);
    QCOMPARE(control<QLineEdit>(w, "FontSize")->text(), QStringLiteral("12"));
}

void TestReach::firstSaveAfterHandOverAsksForAName()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = handedOver({QStringLiteral("Заключение"), QStringLiteral("Врач")});
    prompter.fileNames = {env.path(QStringLiteral("Петров.rtf"))};
    control<QAction>(w, "FileSaveCmd")->trigger();
    QCOMPARE(prompter.records.size(), 1);
    QCOMPARE(prompter.records.at(0).kind, PromptRecord::Save);
    QCOMPARE(prompter.records.at(0).request.filter,
             QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT"));
    // The dialog shows each mask once.
    QCOMPARE(platform::ui::qtFilter(prompter.records.at(0).request.filter),
             QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)"));
    QCOMPARE(prompter.records.at(0).request.defaultSuffix, QString());
    QVERIFY(env.readBytes(QStringLiteral("Петров.rtf")).startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QCOMPARE(w->DocumentName, env.path(QStringLiteral("Петров.rtf")));
    QCOMPARE(w->windowTitle(), QStringLiteral("Петров.rtf - Nirel-3"));
    QVERIFY(!control<ReachEditor>(w, "Editor")->document()->isModified());
    QCOMPARE(control<QLabel>(w, "StatusPanel1")->text(), QString());
    // The next save writes to the name without a dialog.
    control<ReachEditor>(w, "Editor")->append(QStringLiteral("ещё"));
    control<QAction>(w, "FileSaveCmd")->trigger();
    QCOMPARE(prompter.records.size(), 1);
    QTextDocument back;
    QVERIFY(conclusion::reachfile::load(env.path(QStringLiteral("Петров.rtf")), &back, 96).ok);
    QCOMPARE(back.toPlainText(), QStringLiteral("Заключение\nВрач\nещё"));
}

void TestReach::newAsksBeforeDroppingEdits_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("Нет: cleared") << int(QMessageBox::No) << true;
    QTest::newRow("Отмена: kept") << int(QMessageBox::Cancel) << false;
}

void TestReach::newAsksBeforeDroppingEdits()
{
    QFETCH(int, answer);
    QFETCH(bool, cleared);
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("несохранённый текст"));
    prompter.answers = {QMessageBox::StandardButton(answer)};
    control<QAction>(w, "FileNewCmd")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Сохранить изменения в Безымянный?")});
    QCOMPARE(prompter.records.at(0).icon, QMessageBox::Question);
    QCOMPARE(prompter.records.at(0).buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText().isEmpty(), cleared);
    QCOMPARE(control<ReachEditor>(w, "Editor")->document()->isModified(), !cleared);
}

// Yes to "Сохранить изменения" goes on only when the save happened: with
// the save dialog cancelled or the file not written, "Новый", "Открыть...",
// a drop and closing stop, and the text stays. A failed write names why.
void TestReach::unsavedTextStaysWhenTheSaveDoesNotHappen_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("written");
    for (const char *op : {"new", "open", "drop", "close"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, dialog cancelled").arg(op))) << QString::fromLatin1(op) << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, not written").arg(op))) << QString::fromLatin1(op) << true;
    }
}

void TestReach::unsavedTextStaysWhenTheSaveDoesNotHappen()
{
    QFETCH(QString, operation);
    QFETCH(bool, written);
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines(QStringLiteral("другой.txt"), {QStringLiteral("другой")});
    TfmReach *w = editorWith(QStringLiteral("несохранённый текст"));
    prompter.answers = {QMessageBox::Yes, QMessageBox::Ok};
    // The save dialog cancelled, or a name in a folder that is not there.
    prompter.fileNames = {written ? env.path(QStringLiteral("нет/заключение.rtf")) : QString(),
                          env.path(QStringLiteral("другой.txt"))};
    if (operation == QLatin1String("new")) {
        control<QAction>(w, "FileNewCmd")->trigger();
    } else if (operation == QLatin1String("open")) {
        control<QAction>(w, "FileOpenCmd")->trigger();
    } else if (operation == QLatin1String("drop")) {
        w->HandleDroppedFiles({env.path(QStringLiteral("другой.txt"))});
    } else {
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
    }
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("несохранённый текст"));
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->isModified());
    QCOMPARE(w->DocumentName, kUntitled);
    QCOMPARE(prompter.records.at(1).kind, PromptRecord::Save);
    QCOMPARE(prompter.records.size(), written ? 3 : 2); // no open dialog after
    if (written) {
        const QString message = prompter.records.at(2).text;
        QVERIFY(message.startsWith(QStringLiteral("Не удалось записать файл ")));
        QVERIFY2(message.section(QStringLiteral(".rtf: "), 1).size() > 3, qPrintable(message));
    }
}

void TestReach::programEndAsksNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    auto *main = new TfmNirel3();
    state::windows().fmNirel3 = main;
    main->show();
    conclusion::reach::open();
    control<ReachEditor>(state::windows().fmReach, "Editor")->setPlainText(QStringLiteral("несохранённое"));
    main->hide(); // as when its close ends the program
    QVERIFY(state::windows().fmReach->close());
    QVERIFY(prompter.records.isEmpty());
}

void TestReach::textFilterStillWritesRtf()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("Заключение"));
    prompter.fileNames = {env.path(QStringLiteral("заключение.TXT"))};
    control<QAction>(w, "FileSaveAsCmd")->trigger();
    const QByteArray bytes = env.readBytes(QStringLiteral("заключение.TXT"));
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QVERIFY(bytes.contains("\\'c7\\'e0\\'ea\\'eb\\'fe\\'f7\\'e5\\'ed\\'e8\\'e5"));
}

void TestReach::refusedOverwriteSavesNothing()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeBytes(QStringLiteral("old.rtf"), "old");
    TfmReach *w = editorWith(QStringLiteral("новое"));
    prompter.fileNames = {env.path(QStringLiteral("old.rtf"))};
    prompter.answers = {QMessageBox::No};
    control<QAction>(w, "FileSaveAsCmd")->trigger();
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Переписать ") + env.path(QStringLiteral("old.rtf"))});
    QCOMPARE(env.readBytes(QStringLiteral("old.rtf")), QByteArray("old"));
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->isModified());
    QCOMPARE(w->DocumentName, kUntitled);
}

void TestReach::failedSaveKeepsTheOldFile()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeBytes(QStringLiteral("old.rtf"), "old");
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("Строка заключения номер %1").arg(i);
    TfmReach *w = editorWith(lines.join(QLatin1Char('\n')));
    prompter.fileNames = {env.path(QStringLiteral("old.rtf"))};
    prompter.answers = {QMessageBox::Yes, QMessageBox::Ok};
    {
        WriteLimit limit(1000);
        control<QAction>(w, "FileSaveAsCmd")->trigger();
    }
    QCOMPARE(env.readBytes(QStringLiteral("old.rtf")), QByteArray("old"));
    QCOMPARE(prompter.records.constLast().icon, QMessageBox::Critical);
    const QString message = prompter.records.constLast().text;
    QVERIFY(message.contains(QStringLiteral("old.rtf")));
    QVERIFY2(message.section(QStringLiteral("old.rtf: "), 1).size() > 3, qPrintable(message)); // says why
    QCOMPARE(w->DocumentName, kUntitled);
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->isModified());
    QCOMPARE(QDir(env.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.rtf")});
}

void TestReach::opensPlainTextAndRtf()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeLines(QStringLiteral("архив/черновик.txt"), {QStringLiteral("Первая строка"), QStringLiteral("Вторая")});
    env.writeBytes(QStringLiteral("чистовик.rtf"),
                   "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0\\fs28\\qc\\b \\'c8\\'f2\\'ee\\'e3\\par}");
    TfmReach *w = editorWith(QString());
    control<ReachEditor>(w, "Editor")->document()->setModified(false);
    prompter.fileNames = {env.path(QStringLiteral("архив/черновик.txt")), env.path(QStringLiteral("чистовик.rtf"))};
    control<QAction>(w, "FileOpenCmd")->trigger();
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("Первая строка\nВторая"));
    QCOMPARE(w->windowTitle(), QStringLiteral("черновик.txt - Nirel-3"));
    QVERIFY(!control<ReachEditor>(w, "Editor")->document()->isModified());
    control<QAction>(w, "FileOpenCmd")->trigger();
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("Итог"));
    placeCaret(w, 0, 2);
    QVERIFY(control<QToolButton>(w, "CenterAlign")->isChecked());
    QVERIFY(control<QToolButton>(w, "BoldButton")->isChecked());
    QCOMPARE(control<QLineEdit>(w, "FontSize")->text(), QStringLiteral("14"));
    QCOMPARE(control<QComboBox>(w, "FontName")->currentText(), QStringLiteral("Arial"));
    // The dialogs start in the working folder, then where the last file was.
    QCOMPARE(prompter.records.at(0).request.folder, env.path());
    QCOMPARE(prompter.records.at(1).request.folder, env.path(QStringLiteral("архив")));
    QCOMPARE(prompter.records.size(), 2);

    // What could not be read as written is told once, on opening.
    env.writeBytes(QStringLiteral("рисунок.rtf"), "{\\rtf1 {\\pict\\wmetafile8\\picw100\\pich100 0100}" +
                                                      QByteArray(3000, 'x') + "}");
    QVERIFY(w->OpenDocument(env.path(QStringLiteral("рисунок.rtf"))));
    QCOMPARE(prompter.records.size(), 3);
    QCOMPARE(prompter.records.at(2).icon, QMessageBox::Information);
    QCOMPARE(prompter.records.at(2).text.count(QLatin1Char('\n')), 2);
    QCOMPARE(w->windowTitle(), QStringLiteral("рисунок.rtf - Nirel-3"));
    // A file longer than the editor can lay out is opened in part, as a new
    // document: a save does not replace the file by its beginning.
    env.writeBytes(QStringLiteral("длинный.rtf"), "{\\rtf1\\fs99999 " + QByteArray("a\\par ").repeated(5000) + "}");
    QVERIFY(w->OpenDocument(env.path(QStringLiteral("длинный.rtf"))));
    QCOMPARE(w->DocumentName, kUntitled);
    QCOMPARE(prompter.records.size(), 4);
}

void TestReach::unreadableFileLeavesTheText()
{
    TestEnv env;
    ScriptedPrompter prompter;
    QDir(env.path()).mkdir(QStringLiteral("папка.rtf"));
    TfmReach *w = editorWith(QStringLiteral("прежний"));
    w->SetDocumentName(env.path(QStringLiteral("before.rtf")));
    for (const QString &name : {env.path(QStringLiteral("папка.rtf")), env.path(QStringLiteral("absent.rtf"))}) {
        prompter.clear();
        QVERIFY(!w->OpenDocument(name));
        QCOMPARE(prompter.records.size(), 1);
        QCOMPARE(prompter.records.at(0).icon, QMessageBox::Critical);
        QVERIFY(prompter.records.at(0).text.contains(QFileInfo(name).fileName()));
        QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("прежний"));
        QCOMPARE(w->DocumentName, env.path(QStringLiteral("before.rtf")));
    }
}

// A list that starts at 3 keeps two invisible items before its first: the
// caret passes them by, and a save writes the start, not them.
void TestReach::listStartsAreKeptAndTheCaretPassesThem()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.writeBytes(QStringLiteral("список.rtf"),
                   "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00.;}}"
                   "\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
                   "before\\par\\ls1 third\\par fourth\\par}");
    TfmReach *w = editorWith(QString());
    control<ReachEditor>(w, "Editor")->document()->setModified(false);
    QVERIFY(w->OpenDocument(env.path(QStringLiteral("список.rtf"))));
    const QTextBlock third = control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(3);
    QCOMPARE(third.text(), QStringLiteral("third"));
    QCOMPARE(third.textList()->itemText(third), QStringLiteral("3."));
    QTextCursor at(third);
    control<ReachEditor>(w, "Editor")->setTextCursor(at);
    QTest::keyClick(control<ReachEditor>(w, "Editor"), Qt::Key_Left);
    QCOMPARE(control<ReachEditor>(w, "Editor")->textCursor().block().text(), QStringLiteral("before"));
    QCOMPARE(control<QLabel>(w, "StatusPanel0")->text(), QStringLiteral("Line:   1   Col:   7"));
    QTest::keyClick(control<ReachEditor>(w, "Editor"), Qt::Key_Right);
    QCOMPARE(control<ReachEditor>(w, "Editor")->textCursor().block(), third);
    prompter.fileNames = {env.path(QStringLiteral("снова.rtf"))};
    control<QAction>(w, "FileSaveAsCmd")->trigger();
    const QByteArray saved = env.readBytes(QStringLiteral("снова.rtf"));
    QVERIFY(saved.contains("\\levelstartat3"));
    QCOMPARE(saved.count("\\par\r\n"), 3);
}

void TestReach::droppedFilesOpenOnlyTheFirst()
{
    TestEnv env;
    ScriptedPrompter prompter;
    QList<QUrl> urls;
    for (const QString &name : {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}) {
        env.writeLines(name, {name});
        urls << QUrl::fromLocalFile(env.path(name));
    }
    TfmReach *w = editorWith(QStringLiteral("правка"));
    prompter.answers = {QMessageBox::No};
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control<ReachEditor>(w, "Editor")->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control<ReachEditor>(w, "Editor")->viewport(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Сохранить изменения в Безымянный?")});
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("a.txt"));
    QCOMPARE(w->DocumentName, env.path(QStringLiteral("a.txt")));
}

void TestReach::commandLineNamesAnExistingFile()
{
    TestEnv env;
    env.writeLines(QStringLiteral("x.rtf"), {QStringLiteral("x")});
    const QString file = env.path(QStringLiteral("x.rtf"));
    QCOMPARE(conclusion::reachfile::commandLineDocument({QStringLiteral("nirel3"), file, QStringLiteral("y")}), file);
    QCOMPARE(conclusion::reachfile::commandLineDocument({QStringLiteral("nirel3")}), QString());
    QCOMPARE(conclusion::reachfile::commandLineDocument({QStringLiteral("nirel3"), env.path(QStringLiteral("нет.rtf"))}), QString());
    QCOMPARE(conclusion::reachfile::commandLineDocument({QStringLiteral("nirel3"), env.path()}), QString()); // a folder
}

void TestReach::nothingSelectedChangesTheDefaultAttributes()
{
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("текст"));
    QCOMPARE(w->defaultAttributes().fontFamilies().toStringList(), QStringList{QStringLiteral("MS Sans Serif")});
    QCOMPARE(w->defaultAttributes().fontPointSize(), 8.0);
    placeCaret(w, 0, 2);
    control<QToolButton>(w, "BoldButton")->click();
    control<QLineEdit>(w, "FontSize")->setText(QStringLiteral("20"));
    control<QComboBox>(w, "FontName")->setCurrentIndex(0);
    control<QComboBox>(w, "FontName")->activated(0);
    QCOMPARE(w->defaultAttributes().fontWeight(), int(QFont::Bold));
    QCOMPARE(w->defaultAttributes().fontPointSize(), 20.0);
    QCOMPARE(w->defaultAttributes().fontFamilies().toStringList(), QStringList{control<QComboBox>(w, "FontName")->itemText(0)});
    QVERIFY(!anyBold(control<ReachEditor>(w, "Editor")->document())); // the text itself is untouched
    // Typed text takes them, and so does the text after "Новый".
    control<ReachEditor>(w, "Editor")->insertPlainText(QStringLiteral("Ж"));
    QVERIFY(anyBold(control<ReachEditor>(w, "Editor")->document()));
    // With a selection the selection changes and the defaults stay.
    control<ReachEditor>(w, "Editor")->setPlainText(QStringLiteral("выделено"));
    control<ReachEditor>(w, "Editor")->selectAll();
    control<QToolButton>(w, "ItalicButton")->click();
    QVERIFY(!w->defaultAttributes().fontItalic());
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->begin().begin().fragment().charFormat().fontItalic());
}

void TestReach::sizeBoxRejectsWhatIsNotAnInteger()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("текст"));
    control<ReachEditor>(w, "Editor")->selectAll();
    control<QLineEdit>(w, "FontSize")->setText(QStringLiteral("1x"));
    control<QLineEdit>(w, "FontSize")->setText(QString());
    QCOMPARE(prompter.texts(), (QStringList{QStringLiteral("'1x' is not a valid integer value"),
                                            QStringLiteral("'' is not a valid integer value")}));
    QCOMPARE(control<ReachEditor>(w, "Editor")->document()->begin().begin().fragment().charFormat().fontPointSize(), 8.0);
    control<QLineEdit>(w, "FontSize")->setText(QStringLiteral("16"));
    QCOMPARE(control<ReachEditor>(w, "Editor")->document()->begin().begin().fragment().charFormat().fontPointSize(), 16.0);
}

void TestReach::cutAndCopyNeedASelection()
{
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("текст"));
    placeCaret(w, 0, 1);
    QVERIFY(!control<QAction>(w, "EditCutCmd")->isEnabled());
    QVERIFY(!control<QAction>(w, "EditCopyCmd")->isEnabled());
    QTextCursor c = control<ReachEditor>(w, "Editor")->textCursor();
    c.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor);
    control<ReachEditor>(w, "Editor")->setTextCursor(c);
    QVERIFY(control<QAction>(w, "EditCutCmd")->isEnabled());
    QVERIFY(control<QAction>(w, "EditCopyCmd")->isEnabled());
    control<QAction>(w, "EditCutCmd")->trigger();
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("ткст"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("е"));
    QVERIFY(!control<QAction>(w, "EditCutCmd")->isEnabled());
    QVERIFY(control<QAction>(w, "EditPasteCmd")->isEnabled());
    QVERIFY(control<QAction>(w, "EditUndoCmd")->isEnabled());
}

void TestReach::caretInACentredParagraphPutsCenterAlignDown()
{
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("слева\nпо центру\nсправа"));
    placeCaret(w, 1);
    control<QToolButton>(w, "CenterAlign")->click();
    placeCaret(w, 2);
    control<QToolButton>(w, "RightAlign")->click();
    const QList<std::pair<int, QToolButton *>> expected{{0, control<QToolButton>(w, "LeftAlign")}, {1, control<QToolButton>(w, "CenterAlign")}, {2, control<QToolButton>(w, "RightAlign")}};
    for (const auto &[block, down] : expected) {
        placeCaret(w, block, 1);
        for (QToolButton *b : {control<QToolButton>(w, "LeftAlign"), control<QToolButton>(w, "CenterAlign"), control<QToolButton>(w, "RightAlign")})
            QCOMPARE(b->isChecked(), b == down);
    }
    QCOMPARE(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignHCenter);
}

void TestReach::bulletsButtonFollowsAndSetsTheList()
{
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("один\nдва\nтри"));
    QTextCursor c(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(0));
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    control<ReachEditor>(w, "Editor")->setTextCursor(c);
    control<QToolButton>(w, "BulletsButton")->click();
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(0).textList());
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(1).textList());
    placeCaret(w, 2);
    QVERIFY(!control<QToolButton>(w, "BulletsButton")->isChecked());
    placeCaret(w, 1);
    QVERIFY(control<QToolButton>(w, "BulletsButton")->isChecked());
    control<QToolButton>(w, "BulletsButton")->click();
    QVERIFY(!control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(1).textList());
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->findBlockByNumber(0).textList());
}

void TestReach::statusBarShowsCaretAndModifiedMark()
{
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("первая\nвторая строка"));
    placeCaret(w, 1, 6);
    QCOMPARE(control<QLabel>(w, "StatusPanel0")->text(), QStringLiteral("Line:   2   Col:   7"));
    QCOMPARE(control<QLabel>(w, "StatusPanel0")->width(), 120);
    QCOMPARE(control<QLabel>(w, "StatusPanel1")->width(), 60);
    QCOMPARE(control<QLabel>(w, "StatusPanel2")->width(), 50);
    QCOMPARE(control<QLabel>(w, "StatusPanel1")->text(), QStringLiteral("Измененный"));
    QVERIFY(control<QLabel>(w, "StatusPanel1")->fontMetrics().horizontalAdvance(control<QLabel>(w, "StatusPanel1")->text()) <=
            control<QLabel>(w, "StatusPanel1")->contentsRect().width());
    QCOMPARE(control<QLabel>(w, "StatusPanel2")->text(), QString());
}

void TestReach::rulerArithmetic_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("right");
    QTest::addColumn<QList<int>>("markers"); // first, left, right marker lefts for a 600-pixel ruler
    // At 96 dpi k = 4/3: 10 pt -> trunc(13.33) = 13 px.
    QTest::newRow("96, none") << 96.0 << 0 << 0 << 0 << QList<int>{2, 2, 586};
    QTest::newRow("96, 10/5/9") << 96.0 << 10 << 5 << 9 << QList<int>{15, 22, 574};
    QTest::newRow("96, hanging") << 96.0 << 20 << -20 << 0 << QList<int>{28, 2, 586};
    QTest::newRow("120, 10/5/9") << 120.0 << 10 << 5 << 9 << QList<int>{18, 27, 569};
}

void TestReach::rulerArithmetic()
{
    QFETCH(double, dpi);
    QFETCH(int, first);
    QFETCH(int, left);
    QFETCH(int, right);
    QFETCH(QList<int>, markers);
    const conclusion::reachruler::Indents in{first, left, right};
    QCOMPARE(conclusion::reachruler::firstMarkerLeft(in, dpi), markers.at(0));
    QCOMPARE(conclusion::reachruler::leftMarkerLeft(in, dpi), markers.at(1));
    QCOMPARE(conclusion::reachruler::rightMarkerLeft(in, 600, dpi), markers.at(2));
    // Markers put back where they stand give the indents back, up to the
    // truncations both ways (at most one point).
    const int back = conclusion::reachruler::firstIndentAt(markers.at(0), 5, dpi);
    QVERIFY(qAbs(back - first) <= 1);
    QVERIFY(qAbs(conclusion::reachruler::leftIndentAt(markers.at(1), 5, back, dpi) - (left + first - back)) <= 1);
    // A paragraph format holds the indents exactly.
    QTextBlockFormat f;
    conclusion::reachruler::toFormat(in, f, dpi);
    QCOMPARE(conclusion::reachruler::fromFormat(f, dpi), in);
}

void TestReach::firstMarkerDragKeepsTheLeftMarker_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("dragBy");
    QTest::newRow("right by 30") << 0 << 0 << 30;
    QTest::newRow("right by 7") << 12 << 18 << 7;
    QTest::newRow("left by 11") << 30 << -10 << -11;
}

void TestReach::firstMarkerDragKeepsTheLeftMarker()
{
    QFETCH(int, first);
    QFETCH(int, left);
    QFETCH(int, dragBy);
    TestEnv env;
    TfmReach *w = editorWith(QStringLiteral("абзац"));
    w->resize(630, 487);
    QTextBlockFormat f;
    conclusion::reachruler::toFormat({first, left, 0}, f, w->dpi());
    control<ReachEditor>(w, "Editor")->textCursor().mergeBlockFormat(f);
    w->SelectionChange();
    const int leftMarker = control<RulerMarker>(w, "LeftInd")->x();
    const int firstMarker = control<RulerMarker>(w, "FirstInd")->x();
    // Press in the middle of the marker, move, release.
    QTest::mousePress(control<RulerMarker>(w, "FirstInd"), Qt::LeftButton, {}, QPoint(5, 4));
    QTest::mouseMove(control<RulerMarker>(w, "FirstInd"), QPoint(5 + dragBy, 4));
    QTest::mouseRelease(control<RulerMarker>(w, "FirstInd"), Qt::LeftButton, {}, QPoint(5, 4));
    QVERIFY(!w->Dragging);
    const conclusion::reachruler::Indents now = conclusion::reachruler::fromFormat(control<ReachEditor>(w, "Editor")->textCursor().blockFormat(), w->dpi());
    QCOMPARE(now.first, conclusion::reachruler::firstIndentAt(firstMarker + dragBy, 5, w->dpi()));
    QVERIFY2(qAbs(control<RulerMarker>(w, "FirstInd")->x() - (firstMarker + dragBy)) <= 1, qPrintable(QString::number(control<RulerMarker>(w, "FirstInd")->x())));
    QVERIFY2(qAbs(control<RulerMarker>(w, "LeftInd")->x() - leftMarker) <= 2, qPrintable(QString::number(control<RulerMarker>(w, "LeftInd")->x())));
}

void TestReach::hintsMoveToTheEditorForGood()
{
    TestEnv env;
    auto *main = new TfmNirel3();
    state::windows().fmNirel3 = main;
    HintHub::instance().setHint(QStringLiteral("до редактора"));
    QCOMPARE(control<QStatusBar>(main, "StatusBar2")->currentMessage(), QStringLiteral("до редактора"));
    control<QAction>(main, "CnclEdit")->trigger();
    TfmReach *w = state::windows().fmReach.data();
    HintHub::instance().setHint(QStringLiteral("Черновое заключение"));
    QCOMPARE(control<QStatusBar>(w, "StatusBar")->currentMessage(), QStringLiteral("Черновое заключение"));
    QVERIFY(!control<QLabel>(w, "StatusPanel0")->isVisible() || !w->isVisible());
    QCOMPARE(control<QStatusBar>(main, "StatusBar2")->currentMessage(), QStringLiteral("до редактора"));
    HintHub::instance().setHint(QString());
    QCOMPARE(control<QStatusBar>(w, "StatusBar")->currentMessage(), QString());
    QVERIFY(control<QLabel>(w, "StatusPanel0")->isVisible());
    w->close();
    HintHub::instance().setHint(QStringLiteral("после закрытия"));
    QCOMPARE(control<QStatusBar>(main, "StatusBar2")->currentMessage(), QStringLiteral("до редактора"));
}

void TestReach::irisPhotosNeedAPatientWithPhotos()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("Текст"));
    control<QAction>(w, "miInsertPhotosChart")->trigger();
    QCOMPARE(prompter.texts().size(), 1);
    QVERIFY(prompter.texts().constFirst().startsWith(QStringLiteral("У пациента нет фотографий глаз")));
    QCOMPARE(control<ReachEditor>(w, "Editor")->toPlainText(), QStringLiteral("Текст"));
}

// A paragraph with no blank to wrap at is opened broken into pieces that
// the editor lays out at once; joined they give the text back.
void TestReach::hugeParagraphsOpenInPieces()
{
    TestEnv env;
    const QString word = QString(100000, QChar(0x0436)); // "жжж..."
    const QByteArray bytes(100000, '\xe6');
    const QByteArray rtfFile = "{\\rtf1\\ansi\\ansicpg1251 " + bytes + "}";
    for (const QByteArray &file : {rtfFile, bytes}) {
        env.writeBytes(QStringLiteral("huge.rtf"), file);
        QTextDocument doc;
        QVERIFY(conclusion::reachfile::load(env.path(QStringLiteral("huge.rtf")), &doc, 96).ok);
        QVERIFY(doc.blockCount() >= 25);
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            QVERIFY(b.length() - 1 <= 4000);
        QCOMPARE(doc.toPlainText().remove(QLatin1Char('\n')), word);
    }
}

void TestReach::helpOpensContextEleven()
{
    TestEnv env;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    TfmReach *w = editorWith(QString());
    control<QAction>(w, "HelpMenu")->trigger();
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentAnchor(), QStringLiteral("ctx11"));
}

void TestReach::printsToPdf()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ\nВрач-иридолог Иванова"));
    w->SetDocumentName(env.path(QStringLiteral("Петров.rtf")));
    const QString pdf = env.path(QStringLiteral("печать.pdf"));
    QString jobName;
    prompter.onExec = [&](QDialog *dialog) {
        QPrinter *printer = qobject_cast<QPrintDialog *>(dialog)->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    };
    control<QAction>(w, "FilePrintCmd")->trigger();
    QCOMPARE(prompter.records.constLast().text, QStringLiteral("PrintDialog"));
    QVERIFY(env.readBytes(QStringLiteral("печать.pdf")).startsWith("%PDF"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed: the text of the PDF is not read back");
    QProcess p;
    p.start(pdftotext, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("ИРИДОЛОГИЧЕСКОЕ ЗАКЛЮЧЕНИЕ")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Врач-иридолог Иванова")));
}

void TestReach::exportsPdfUnderTheDocumentsName()
{
    TestEnv env;
    ScriptedPrompter prompter;
    TfmReach *w = editorWith(QStringLiteral("Заключение"));
    w->SetDocumentName(env.path(QStringLiteral("Петров.rtf")));
    prompter.fileNames = {env.path(QStringLiteral("Петров.pdf"))};
    control<QAction>(w, "FilePdfCmd")->trigger();
    QCOMPARE(prompter.records.at(0).request.fileName, QStringLiteral("Петров.pdf"));
    QCOMPARE(prompter.records.at(0).request.folder, env.path());
    QVERIFY(env.readBytes(QStringLiteral("Петров.pdf")).startsWith("%PDF"));
    QVERIFY(control<ReachEditor>(w, "Editor")->document()->isModified()); // an export is no save
}

QTEST_MAIN(TestReach)
#include "test_reach.moc"
