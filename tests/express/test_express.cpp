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
    return concl::exists() ? concl::lines() : QStringList{QStringLiteral("<no draft window>")};
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
    QListWidget *list = vel ? w->clbExVelSign : w->clbExKrySign;
    for (int i = 0; i < ticked; ++i)
        list->item(list->count() - 1 - i)->setCheckState(Qt::Checked);
    (vel ? w->OKBtnVelSign : w->OKBtnKrySign)->click();
    const QStringList result = (vel ? w->mExVelCncl : w->mExKryCncl)->lines();
    QCOMPARE(result.size(), ticked + 3);
    QCOMPARE(result.constLast(), line);
    QCOMPARE(result.constFirst(), vel ? kVelMap : kKryMap);
    QCOMPARE(result.at(result.size() - 2), vel ? kVelResult : kKryResult);
}

void TestExpress::scoringWritesTheFiveLinesOfTheExample()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(w->clbExVelSign, {6, 3});
    w->OKBtnVelSign->click();
    QCOMPARE(w->mExVelCncl->lines(),
             (QStringList{kVelMap, QStringLiteral("Деформация зрачка"), QStringLiteral("Пигментные пятна"), kVelResult,
                          QStringLiteral("Уровень здоровья выше среднего [8/10]")}));
    // Nothing ticked: the two headings with no sign between them.
    w->CancelBtnExVelSign->click();
    w->OKBtnVelSign->click();
    QCOMPARE(w->mExVelCncl->lines(),
             (QStringList{kVelMap, kVelResult, QStringLiteral("Уровень здоровья высокий [10/10]")}));
    QCOMPARE(state::examination().velkhoverLines().size(), 0); // scoring stores nothing
}

void TestExpress::scoringAgainRecomputesAndKeepsTicks()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(w->clbExKrySign, {1, 16});
    w->OKBtnKrySign->click();
    w->mExKryCncl->appendLine(QStringLiteral("приписка"));
    tick(w->clbExKrySign, {14});
    w->OKBtnKrySign->click();
    QCOMPARE(ticked(w->clbExKrySign), (QList<int>{1, 14, 16}));
    QCOMPARE(w->mExKryCncl->lines(),
             (QStringList{kKryMap, QStringLiteral("Плотность радужки 3-6"), QStringLiteral("Кольцо натрия"),
                          QStringLiteral("Экзогенная гиперпигментация"), kKryResult,
                          QStringLiteral("Уровень здоровья выше среднего [13/16]")}));
}

void TestExpress::clearingTouchesOnePage()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(w->clbExVelSign, {1, 2});
    tick(w->clbExKrySign, {3});
    w->OKBtnVelSign->click();
    w->OKBtnKrySign->click();
    w->CancelBtnExKrySign->click();
    QCOMPARE(w->mExKryCncl->lineCount(), 0);
    QCOMPARE(ticked(w->clbExKrySign), QList<int>{});
    QCOMPARE(ticked(w->clbExVelSign), (QList<int>{1, 2}));
    QCOMPARE(w->mExVelCncl->lineCount(), 5);
}

void TestExpress::windowStartsAsDescribed()
{
    TestEnv env;
    TfmExpress *w = window();
    QCOMPARE(w->windowTitle(), QStringLiteral("Экспресс-диагностика"));
    QCOMPARE(w->PageControl1->currentWidget(), w->tsVelhover);
    QCOMPARE(w->PageControl1->tabText(0), QStringLiteral("По Вельховеру"));
    QCOMPARE(w->PageControl1->tabText(1), QStringLiteral("По Кривенко"));
    QCOMPARE(w->mExVelCncl->lines(), QStringList{QString()});
    QCOMPARE(w->mExKryCncl->lineCount(), 0);
    for (QListWidget *list : {w->clbExVelSign, w->clbExKrySign}) {
        QCOMPARE(ticked(list), QList<int>{});
        QCOMPARE(list->statusTip(), QStringLiteral("Список оцениваемых признаков"));
        QCOMPARE(list->accessibleName(), QStringLiteral("Признаки"));
    }
    for (int i = 0; i < 16; ++i)
        QCOMPARE(w->clbExKrySign->item(i)->text(), express::checkItems(Method::Krivenko).at(i));
    QCOMPARE(w->gbSign->title(), QStringLiteral("Признаки"));
    QCOMPARE(w->gbExKryConcl->title(), QStringLiteral("Уровень здоровья"));
    QCOMPARE(w->mExKryCncl->accessibleName(), QStringLiteral("Уровень здоровья"));
    QCOMPARE(w->mExVelCncl->statusTip(), QStringLiteral("Частное заключение по результатам экспресс-диагностики"));
    QCOMPARE(w->OKBtnVelSign->text(), QStringLiteral("Обработать"));
    QCOMPARE(w->OKBtnKrySign->statusTip(), QStringLiteral("Подготовка частного заключения"));
    QCOMPARE(w->CancelBtnExVelSign->text(), QStringLiteral("Очистить"));
    QCOMPARE(w->CancelBtnExKrySign->statusTip(), QStringLiteral("Очистка отмеченных позиций"));
    QCOMPARE(w->OKBtn->text(), QStringLiteral("Заключение"));
    QCOMPARE(w->OKBtn->statusTip(), QStringLiteral("Просмотр полученныхе результатов в окне заключения"));
    QVERIFY(w->OKBtn->isDefault());
    QCOMPARE(w->CancelBtn->text(), QStringLiteral("Закрыть"));
    QCOMPARE(w->HelpBtn->text(), QStringLiteral("Помощь"));
    QCOMPARE(w->pos(), QPoint(1, 96));
}

void TestExpress::conclusionOnAFreshWindowStoresOneEmptyLine()
{
    TestEnv env;
    TfmExpress *w = window();
    state::examination().setConclMode(2);
    w->OKBtn->click();
    QCOMPARE(state::examination().conclMode(), 0);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    QCOMPARE(state::examination().velkhoverLines(), QStringList{QString()});
    QCOMPARE(state::examination().expressLines().size(), 1);
    QVERIFY(state::windows().fmConcl && state::windows().fmConcl->isVisible());
    QCOMPARE(draftLines(), QStringList{QString()});
    QCOMPARE(w->mExVelCncl->lineCount(), 0);
}

void TestExpress::conclusionStoresThePageOnViewThenBoth()
{
    TestEnv env;
    TfmExpress *w = window();
    concl::open();
    concl::setLines({QStringLiteral("предыдущий черновик")});
    tick(w->clbExVelSign, {3});
    w->OKBtnVelSign->click();
    const QStringList vel = w->mExVelCncl->lines();
    // A scored Krivenko page, not on view: emptied, not stored.
    tick(w->clbExKrySign, {1, 2});
    w->OKBtnKrySign->click();
    w->OKBtn->click();
    QCOMPARE(state::examination().velkhoverLines(), vel);
    QCOMPARE(state::examination().krivenkoLines().size(), 0);
    QCOMPARE(draftLines(), vel);
    QCOMPARE(ticked(w->clbExVelSign), QList<int>{});
    QCOMPARE(w->mExVelCncl->lineCount(), 0);
    QCOMPARE(ticked(w->clbExKrySign), QList<int>{});
    QCOMPARE(w->mExKryCncl->lineCount(), 0);

    w->PageControl1->setCurrentWidget(w->tsKryvenko);
    tick(w->clbExKrySign, {2, 5});
    w->OKBtnKrySign->click();
    const QStringList kry = w->mExKryCncl->lines();
    w->OKBtn->click();
    QCOMPARE(state::examination().velkhoverLines(), vel);
    QCOMPARE(state::examination().krivenkoLines(), kry);
    QCOMPARE(state::examination().expressLines().size(), int(vel.size() + kry.size()));
    QCOMPARE(state::examination().expressLines(), vel + kry);
    QCOMPARE(draftLines(), vel + kry);
    QCOMPARE(ticked(w->clbExKrySign), QList<int>{});
    QCOMPARE(w->mExKryCncl->lineCount(), 0);
}

void TestExpress::conclusionPressedTwiceOnOnePage()
{
    TestEnv env;
    TfmExpress *w = window();
    w->OKBtnVelSign->click();
    w->OKBtn->click();
    w->PageControl1->setCurrentWidget(w->tsKryvenko);
    w->OKBtnKrySign->click();
    w->OKBtn->click();
    QCOMPARE(state::examination().krivenkoLines().size(), 3);
    w->OKBtn->click(); // the Krivenko box is empty now: zero lines stored
    QCOMPARE(state::examination().krivenkoLines().size(), 0);
    QCOMPARE(state::examination().velkhoverLines().size(), 3);
    QCOMPARE(draftLines(), state::examination().velkhoverLines());
}

void TestExpress::conclusionOnKrivenkoLosesTheUnstoredVelkhover()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(w->clbExVelSign, {1});
    w->OKBtnVelSign->click();
    w->OKBtn->click();
    const QStringList storedVel = state::examination().velkhoverLines();
    // Score both pages again, then confirm on the Krivenko page.
    tick(w->clbExVelSign, {2, 3});
    w->OKBtnVelSign->click();
    tick(w->clbExKrySign, {4});
    w->OKBtnKrySign->click();
    const QStringList kry = w->mExKryCncl->lines();
    w->PageControl1->setCurrentWidget(w->tsKryvenko);
    w->OKBtn->click();
    QCOMPARE(w->mExVelCncl->lineCount(), 0);
    QCOMPARE(ticked(w->clbExVelSign), QList<int>{});
    QCOMPARE(draftLines(), storedVel + kry);
}

void TestExpress::handEditsAreStoredAsEdited()
{
    TestEnv env;
    TfmExpress *w = window();
    w->PageControl1->setCurrentWidget(w->tsKryvenko);
    w->OKBtnKrySign->click();
    w->mExKryCncl->setFocus();
    w->mExKryCncl->moveCursor(QTextCursor::End);
    QTest::keyClick(w->mExKryCncl, Qt::Key_Return);
    QTest::keyClick(w->mExKryCncl, Qt::Key_Return);
    QTest::keyClicks(w->mExKryCncl, "OK");
    const QStringList edited = w->mExKryCncl->lines();
    QCOMPARE(edited.mid(edited.size() - 3), (QStringList{QStringLiteral("Уровень здоровья высокий [16/16]"),
                                                         QString(), QStringLiteral("OK")}));
    w->OKBtn->click();
    QCOMPARE(state::examination().krivenkoLines(), edited);
    QCOMPARE(draftLines(), edited);
}

void TestExpress::closeClearsVelkhoverOnly()
{
    TestEnv env;
    TfmExpress *w = window();
    tick(w->clbExVelSign, {1});
    tick(w->clbExKrySign, {2, 3});
    w->OKBtnVelSign->click();
    w->OKBtnKrySign->click();
    const QStringList kry = w->mExKryCncl->lines();
    w->CancelBtn->click();
    QVERIFY(!w->isVisible());
    QCOMPARE(state::windows().fmExpress.data(), w);
    QCOMPARE(w->mExVelCncl->lineCount(), 0);
    QCOMPARE(ticked(w->clbExVelSign), QList<int>{});
    QCOMPARE(window(), w);
    QCOMPARE(ticked(w->clbExKrySign), (QList<int>{2, 3}));
    QCOMPARE(w->mExKryCncl->lines(), kry);
    QCOMPARE(state::examination().velkhoverLines().size(), 0);
}

void TestExpress::enterAndEscape()
{
    TestEnv env;
    TfmExpress *w = window();
    w->clbExVelSign->setFocus();
    QTest::keyClick(w->clbExVelSign, Qt::Key_Return);
    QCOMPARE(state::examination().velkhoverLines().size(), 1); // "Заключение" ran
    // Enter inside a result box is a line break, not the button.
    w->mExVelCncl->setFocus();
    QTest::keyClick(w->mExVelCncl, Qt::Key_Return);
    QCOMPARE(w->mExVelCncl->lineCount(), 2);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    // Enter on a focused button presses that button.
    tick(w->clbExVelSign, {1});
    w->OKBtnVelSign->setFocus();
    QTest::keyClick(w->OKBtnVelSign, Qt::Key_Return);
    QCOMPARE(w->mExVelCncl->lineCount(), 4);
    QCOMPARE(state::examination().velkhoverLines().size(), 1);
    QTest::keyClick(w->clbExVelSign, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
}

void TestExpress::helpOpensContextZero()
{
    TestEnv env;
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"));
    window()->HelpBtn->click();
    QVERIFY(HelpViewer::existing());
    QCOMPARE(HelpViewer::existing()->currentAnchor(), QStringLiteral("ctx0"));
}

QTEST_MAIN(TestExpress)
#include "test_express.moc"
