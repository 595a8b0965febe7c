// The express examination: the check lists, the level of every count of
// ticked signs for both methods, and the window's sequences of "Обработать",
// "Очистить", "Заключение" and "Закрыть".
#include "conclusion/concldoor.h"
#include "conclusion/tfmconcl.h"
#include "express/scoring.h"
#include "express/tfmexpress.h"
#include "help/helpviewer.h"
#include "state/examination.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using express::Method;

namespace {

const QString kIndent(13, QLatin1Char(' '));
const QString kVelMap = kIndent + QStringLiteral("КАРТА ЭКСПРЕСС-ОСМОТРА ПО ВЕЛЬХОВЕРУ:");
const QString kVelResult = kIndent + QStringLiteral("ЭКСПРЕСС-ДИАГНОСТИКА ПО ВЕЛЬХОВЕРУ:");
const QString kKryMap = kIndent + QStringLiteral("КАРТА ЭКСПРЕСС-ОСМОТРА ПО КРИВЕНКО:");
const QString kKryResult = kIndent + QStringLiteral("ЭКСПРЕСС-ДИАГНОСТИКА ПО КРИВЕНКО:");

TfmExpress *window()
{
    return state::openWindow(state::windows().fmExpress);
}

void tick(QListWidget *list, const QList<int> &numbers)
{
    for (int n : numbers)
        list->item(n - 1)->setCheckState(Qt::Checked);
}

QList<int> ticked(const QListWidget *list)
{
    QList<int> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            out << i + 1;
    return out;
}

QStringList draftLines()
{
    return conclusion::concl::exists() ? conclusion::concl::lines() : QStringList{QStringLiteral("<no draft window>")};
}

} // namespace

class TestExpress : public QObject {
    Q_OBJECT
private slots:
    void checkLists();
    void levels_data();
    void levels();
    void scoringWritesTheFiveLinesOfTheExample();
    void scoringAgainRecomputesAndKeepsTicks();
    void clearingTouchesOnePage();
    void windowStartsAsDescribed();
    void conclusionOnAFreshWindowStoresOneEmptyLine();
    void conclusionStoresThePageOnViewThenBoth();
    void conclusionPressedTwiceOnOnePage();
    void conclusionOnKrivenkoLosesTheUnstoredVelkhover();
    void handEditsAreStoredAsEdited();
    void closeClearsVelkhoverOnly();
    void enterAndEscape();
    void helpOpensContextZero();
};

void TestExpress::checkLists()
{
    // Verbatim and in order: the order is the order ticked signs are written out.
    QCOMPARE(express::checkItems(Method::Velkhover),
             (QStringList{QStringLiteral("Плотность радужки 3-6 степени"), QStringLiteral("Рельеф радужки 2-7 вида"),
                          QStringLiteral("Деформация зрачка"), QStringLiteral("Зашлакованность автономного кольца"),
                          QStringLiteral("Разрыв и зашлакованность автономного кольца"),
                          QStringLiteral("Пигментные пятна"), QStringLiteral("Токсические пятна"),
                          QStringLiteral("Адаптационные кольца"), QStringLiteral("Лимфатический розарий"),
                          QStringLiteral("Дистрофический ободок")}));
    QCOMPARE(express::checkItems(Method::Krivenko),
             (QStringList{QStringLiteral("Плотность радужки 3-6"), QStringLiteral("Деформация зрачка"),
                          QStringLiteral("Форма зрачковой каймы 3-6"), QStringLiteral("Форма автономного кольца 3-4"),
                          QStringLiteral("Зашлакованность автономного кольца"),
                          QStringLiteral("Втяжение автономного кольца на 5-7 ч"),
                          QStringLiteral("Токсическая лучистость"),
                          QStringLiteral("Многочисленые адаптационные кольца"), // as printed on the form
                          QStringLiteral("Лимфатический розарий"), QStringLiteral("Дистрофический ободок"),
                          QStringLiteral("Множественные лакуны"), QStringLiteral("Токсические пятна"),
                          QStringLiteral("Множеств.пигментные пятна (более 3-х)"), QStringLiteral("Кольцо натрия"),
                          QStringLiteral("Эндогенная гиперпигментация (сметанки)"),
                          QStringLiteral("Экзогенная гиперпигментация")}));
    QCOMPARE(express::signCount(Method::Velkhover), 10);
    QCOMPARE(express::signCount(Method::Krivenko), 16);
}

void TestExpress::levels_data()
{
    QTest::addColumn<Method>("method");
    QTest::addColumn<int>("ticked");
    QTest::addColumn<QString>("line");
    const auto row = [](Method m, int n, const char *level) {
        const bool vel = m == Method::Velkhover;
        const int total = vel ? 10 : 16;
        QTest::addRow("%s %d", vel ? "Velkhover" : "Krivenko", n)
            << m << n
            << QStringLiteral("Уровень здоровья %1 [%2/%3]").arg(QString::fromUtf8(level)).arg(total - n).arg(total);
    };
    // Both ends of every level.
    row(Method::Velkhover, 0, "высокий");
    row(Method::Velkhover, 1, "высокий");
    row(Method::Velkhover, 2, "выше среднего");
    row(Method::Velkhover, 3, "выше среднего");
    row(Method::Velkhover, 4, "средний");
    row(Method::Velkhover, 5, "средний");
    row(Method::Velkhover, 6, "ниже среднего");
    row(Method::Velkhover, 7, "ниже среднего");
    row(Method::Velkhover, 8, "низкий");
    row(Method::Velkhover, 10, "низкий");
    row(Method::Krivenko, 0, "высокий");
    row(Method::Krivenko, 1, "высокий");
    row(Method::Krivenko, 2, "выше среднего");
    row(Method::Krivenko, 4, "выше среднего");
    row(Method::Krivenko, 5, "средний");
    row(Method::Krivenko, 7, "средний");
    row(Method::Krivenko, 8, "ниже среднего");
    row(Method::Krivenko, 12, "ниже среднего");
    row(Method::Krivenko, 13, "низкий");
    row(Method::Krivenko, 16, "низкий");
}

void TestExpress::levels()
{
    QFETCH(Method, method);
    QFETCH(int, ticked);
    QFETCH(QString, line);
    QCOMPARE(express::levelLine(method, ticked), line);

    // The same count of ticks through the window, ticked from the end of the list.
    TestEnv env;
    TfmExpress *w = window();
    const bool vel = method == Method::Velkhover;
    QListWidget *list = vel ? control<QListWidget>(w, "clbExVelSign") : control<QListWidget>(w, "clbExKrySign");
    for (int i = 0; i < ticked; ++i)
        list->item(list->count() - 1 - i)->setCheckState(Qt::Checked);
    (vel ? control<QPushButton>(w, "OKBtnVelSign") : control<QPushButton>(w, "OKBtnKrySign"))->click();
    const QStringList result = (vel ? control<Memo>(w, "mExVelCncl") : control<Memo>(w, "mExKryCncl"))->lines();
    QCOMPARE(result.size(), ticked + 3);
    QCOMPARE(result.constLast(), line);
    QCOMPARE(result.constFirst(), vel ? kVelMap : kKryMap);
    QCOMPARE(result.at(result.size() - 2), vel ? kVelResult : kKryResult);
}

void TestExpress::scoringWritesTheFiveLinesOfTheExample()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(control<QListWidget>(w, "clbExVelSign"), {6, 3});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lines(),
             (QStringList{kVelMap, QStringLiteral("Деформация зрачка"), QStringLiteral("Пигментные пятна"), kVelResult,
                          QStringLiteral("Уровень здоровья выше среднего [8/10]")}));
    // Nothing ticked: the two headings with no sign between them.
    control<QPushButton>(w, "CancelBtnExVelSign")->click();
    control<QPushButton>(w, "OKBtnVelSign")->click();
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lines(),
             (QStringList{kVelMap, kVelResult, QStringLiteral("Уровень здоровья высокий [10/10]")}));
    QCOMPARE(state::examination().velkhoverLines().size(), 0); // scoring stores nothing
}

void TestExpress::scoringAgainRecomputesAndKeepsTicks()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(control<QListWidget>(w, "clbExKrySign"), {1, 16});
    control<QPushButton>(w, "OKBtnKrySign")->click();
    control<Memo>(w, "mExKryCncl")->appendLine(QStringLiteral("приписка"));
    tick(control<QListWidget>(w, "clbExKrySign"), {14});
    control<QPushButton>(w, "OKBtnKrySign")->click();
    QCOMPARE(ticked(control<QListWidget>(w, "clbExKrySign")), (QList<int>{1, 14, 16}));
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lines(),
             (QStringList{kKryMap, QStringLiteral("Плотность радужки 3-6"), QStringLiteral("Кольцо натрия"),
                          QStringLiteral("Экзогенная гиперпигментация"), kKryResult,
                          QStringLiteral("Уровень здоровья выше среднего [13/16]")}));
}

void TestExpress::clearingTouchesOnePage()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(control<QListWidget>(w, "clbExVelSign"), {1, 2});
    tick(control<QListWidget>(w, "clbExKrySign"), {3});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    control<QPushButton>(w, "OKBtnKrySign")->click();
    control<QPushButton>(w, "CancelBtnExKrySign")->click();
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lineCount(), 0);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExKrySign")), QList<int>{});
    QCOMPARE(ticked(control<QListWidget>(w, "clbExVelSign")), (QList<int>{1, 2}));
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 5);
}

void TestExpress::windowStartsAsDescribed()
{
    TestEnv env;
    TfmExpress *w = window();
    QCOMPARE(w->windowTitle(), QStringLiteral("Экспресс-диагностика"));
    QCOMPARE(control<QTabWidget>(w, "PageControl1")->currentWidget(), control<QWidget>(w, "tsVelhover"));
    QCOMPARE(control<QTabWidget>(w, "PageControl1")->tabText(0), QStringLiteral("По Вельховеру"));
    QCOMPARE(control<QTabWidget>(w, "PageControl1")->tabText(1), QStringLiteral("По Кривенко"));
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lines(), QStringList{QString()});
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lineCount(), 0);
    for (QListWidget *list : {control<QListWidget>(w, "clbExVelSign"), control<QListWidget>(w, "clbExKrySign")}) {
        QCOMPARE(ticked(list), QList<int>{});
        QCOMPARE(list->statusTip(), QStringLiteral("Список оцениваемых признаков"));
        QCOMPARE(list->accessibleName(), QStringLiteral("Признаки"));
    }
    for (int i = 0; i < 16; ++i)
        QCOMPARE(control<QListWidget>(w, "clbExKrySign")->item(i)->text(), express::checkItems(Method::Krivenko).at(i));
    QCOMPARE(control<QGroupBox>(w, "gbSign")->title(), QStringLiteral("Признаки"));
    QCOMPARE(control<QGroupBox>(w, "gbExKryConcl")->title(), QStringLiteral("Уровень здоровья"));
    QCOMPARE(control<Memo>(w, "mExKryCncl")->accessibleName(), QStringLiteral("Уровень здоровья"));
    QCOMPARE(control<Memo>(w, "mExVelCncl")->statusTip(), QStringLiteral("Частное заключение по результатам экспресс-диагностики"));
    QCOMPARE(control<QPushButton>(w, "OKBtnVelSign")->text(), QStringLiteral("Обработать"));
    QCOMPARE(control<QPushButton>(w, "OKBtnKrySign")->statusTip(), QStringLiteral("Подготовка частного заключения"));
    QCOMPARE(control<QPushButton>(w, "CancelBtnExVelSign")->text(), QStringLiteral("Очистить"));
    QCOMPARE(control<QPushButton>(w, "CancelBtnExKrySign")->statusTip(), QStringLiteral("Очистка отмеченных позиций"));
    QCOMPARE(control<QPushButton>(w, "OKBtn")->text(), QStringLiteral("Заключение"));
    QCOMPARE(control<QPushButton>(w, "OKBtn")->statusTip(), QStringLiteral("Просмотр полученныхе результатов в окне заключения"));
    QVERIFY(control<QPushButton>(w, "OKBtn")->isDefault());
    QCOMPARE(control<QPushButton>(w, "CancelBtn")->text(), QStringLiteral("Закрыть"));
    QCOMPARE(control<QPushButton>(w, "HelpBtn")->text(), QStringLiteral("Помощь"));
    QCOMPARE(w->pos(), QPoint(1, 96));
}

void TestExpress::conclusionOnAFreshWindowStoresOneEmptyLine()
{
    TestEnv env;
    TfmExpress *w = window();
    state::examination().setConclMode(2);
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(state::examination().conclMode(), 0);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    QCOMPARE(state::examination().velkhoverLines(), QStringList{QString()});
    QCOMPARE(state::examination().expressLines().size(), 1);
    QVERIFY(state::windows().fmConcl && state::windows().fmConcl->isVisible());
    QCOMPARE(draftLines(), QStringList{QString()});
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 0);
}

void TestExpress::conclusionStoresThePageOnViewThenBoth()
{
    TestEnv env;
    TfmExpress *w = window();
    conclusion::concl::open();
    conclusion::concl::setLines({QStringLiteral("предыдущий черновик")});
    tick(control<QListWidget>(w, "clbExVelSign"), {3});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    const QStringList vel = control<Memo>(w, "mExVelCncl")->lines();
    // A scored Krivenko page, not on view: emptied, not stored.
    tick(control<QListWidget>(w, "clbExKrySign"), {1, 2});
    control<QPushButton>(w, "OKBtnKrySign")->click();
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(state::examination().velkhoverLines(), vel);
    QCOMPARE(state::examination().krivenkoLines().size(), 0);
    QCOMPARE(draftLines(), vel);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExVelSign")), QList<int>{});
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 0);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExKrySign")), QList<int>{});
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lineCount(), 0);

    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "tsKryvenko"));
    tick(control<QListWidget>(w, "clbExKrySign"), {2, 5});
    control<QPushButton>(w, "OKBtnKrySign")->click();
    const QStringList kry = control<Memo>(w, "mExKryCncl")->lines();
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(state::examination().velkhoverLines(), vel);
    QCOMPARE(state::examination().krivenkoLines(), kry);
    QCOMPARE(state::examination().expressLines().size(), int(vel.size() + kry.size()));
    QCOMPARE(state::examination().expressLines(), vel + kry);
    QCOMPARE(draftLines(), vel + kry);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExKrySign")), QList<int>{});
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lineCount(), 0);
}

void TestExpress::conclusionPressedTwiceOnOnePage()
{
    TestEnv env;
    TfmExpress *w = window();
    control<QPushButton>(w, "OKBtnVelSign")->click();
    control<QPushButton>(w, "OKBtn")->click();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "tsKryvenko"));
    control<QPushButton>(w, "OKBtnKrySign")->click();
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(state::examination().krivenkoLines().size(), 3);
    control<QPushButton>(w, "OKBtn")->click(); // the Krivenko box is empty now: zero lines stored
    QCOMPARE(state::examination().krivenkoLines().size(), 0);
    QCOMPARE(state::examination().velkhoverLines().size(), 3);
    QCOMPARE(draftLines(), state::examination().velkhoverLines());
}

void TestExpress::conclusionOnKrivenkoLosesTheUnstoredVelkhover()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(control<QListWidget>(w, "clbExVelSign"), {1});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    control<QPushButton>(w, "OKBtn")->click();
    const QStringList storedVel = state::examination().velkhoverLines();
    // Score both pages again, then confirm on the Krivenko page.
    tick(control<QListWidget>(w, "clbExVelSign"), {2, 3});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    tick(control<QListWidget>(w, "clbExKrySign"), {4});
    control<QPushButton>(w, "OKBtnKrySign")->click();
    const QStringList kry = control<Memo>(w, "mExKryCncl")->lines();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "tsKryvenko"));
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 0);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExVelSign")), QList<int>{});
    QCOMPARE(draftLines(), storedVel + kry);
}

void TestExpress::handEditsAreStoredAsEdited()
{
    TestEnv env;
    TfmExpress *w = window();
    control<QTabWidget>(w, "PageControl1")->setCurrentWidget(control<QWidget>(w, "tsKryvenko"));
    control<QPushButton>(w, "OKBtnKrySign")->click();
    control<Memo>(w, "mExKryCncl")->setFocus();
    control<Memo>(w, "mExKryCncl")->moveCursor(QTextCursor::End);
    QTest::keyClick(control<Memo>(w, "mExKryCncl"), Qt::Key_Return);
    QTest::keyClick(control<Memo>(w, "mExKryCncl"), Qt::Key_Return);
    QTest::keyClicks(control<Memo>(w, "mExKryCncl"), "OK");
    const QStringList edited = control<Memo>(w, "mExKryCncl")->lines();
    QCOMPARE(edited.mid(edited.size() - 3), (QStringList{QStringLiteral("Уровень здоровья высокий [16/16]"),
                                                         QString(), QStringLiteral("OK")}));
    control<QPushButton>(w, "OKBtn")->click();
    QCOMPARE(state::examination().krivenkoLines(), edited);
    QCOMPARE(draftLines(), edited);
}

void TestExpress::closeClearsVelkhoverOnly()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(control<QListWidget>(w, "clbExVelSign"), {1});
    tick(control<QListWidget>(w, "clbExKrySign"), {2, 3});
    control<QPushButton>(w, "OKBtnVelSign")->click();
    control<QPushButton>(w, "OKBtnKrySign")->click();
    const QStringList kry = control<Memo>(w, "mExKryCncl")->lines();
    control<QPushButton>(w, "CancelBtn")->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(state::windows().fmExpress.data(), w);
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 0);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExVelSign")), QList<int>{});
    QCOMPARE(window(), w);
    QCOMPARE(ticked(control<QListWidget>(w, "clbExKrySign")), (QList<int>{2, 3}));
    QCOMPARE(control<Memo>(w, "mExKryCncl")->lines(), kry);
    QCOMPARE(state::examination().velkhoverLines().size(), 0);
}

void TestExpress::enterAndEscape()
{
    TestEnv env;
    TfmExpress *w = window();
    control<QListWidget>(w, "clbExVelSign")->setFocus();
    QTest::keyClick(control<QListWidget>(w, "clbExVelSign"), Qt::Key_Return);
    QCOMPARE(state::examination().velkhoverLines().size(), 1); // "Заключение" ran
    // Enter inside a result box is a line break, not the button.
    control<Memo>(w, "mExVelCncl")->setFocus();
    QTest::keyClick(control<Memo>(w, "mExVelCncl"), Qt::Key_Return);
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 2);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    // Enter on a focused button presses that button.
    tick(control<QListWidget>(w, "clbExVelSign"), {1});
    control<QPushButton>(w, "OKBtnVelSign")->setFocus();
    QTest::keyClick(control<QPushButton>(w, "OKBtnVelSign"), Qt::Key_Return);
    QCOMPARE(control<Memo>(w, "mExVelCncl")->lineCount(), 4);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    QTest::keyClick(control<QListWidget>(w, "clbExVelSign"), Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

void TestExpress::helpOpensContextZero()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    control<QPushButton>(window(), "HelpBtn")->click();
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentAnchor(), QStringLiteral("ctx0"));
}

QTEST_MAIN(TestExpress)
#include "test_express.moc"
