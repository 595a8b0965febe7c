// Every control of every window can be found by a screen reader: it has an
// accessible name, and a control with a hint shows it as tooltip too; no
// name is a component's name ("Exit1"); a label that shows a value (the
// chart window's colour number) lets the reader read it.
#include "cards/tfmbackups.h"
#include "cards/tfmcard.h"
#include "charts/chartsdoor.h"
#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "conclusion/reachdoor.h"
#include "conclusion/tfmconcl.h"
#include "conclusion/tfmreach.h"
#include "deep/tfmdeep.h"
#include "express/tfmexpress.h"
#include "guides/tfmguid.h"
#include "help/helpviewer.h"
#include "photos/tfmphoto.h"
#include "shell/aboutbox.h"
#include "shell/tfmnirel3.h"
#include "state/openwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlIsNamed();
};

namespace {

bool isControl(const QWidget *c)
{
    if (c->objectName().startsWith(QLatin1String("qt_")))
        return false; // Qt's own helpers (menu and tool bar extension buttons)
    if (qobject_cast<const QLineEdit *>(c) &&
        (qobject_cast<const QAbstractSpinBox *>(c->parentWidget()) || qobject_cast<const QComboBox *>(c->parentWidget())))
        return false; // the edit inside a number field or drop-down list
    if (qobject_cast<const QAbstractItemView *>(c) && qobject_cast<const QComboBox *>(c->parentWidget()->parentWidget()))
        return false; // the popup list of a drop-down list
    return qobject_cast<const QAbstractButton *>(c) || qobject_cast<const QLineEdit *>(c) ||
           qobject_cast<const QComboBox *>(c) || qobject_cast<const QAbstractItemView *>(c) ||
           qobject_cast<const QPlainTextEdit *>(c) || qobject_cast<const QAbstractSpinBox *>(c);
}

} // namespace

void TestAccessibility::everyControlIsNamed()
{
    TestEnv env;
    auto *main = new TfmNirel3();
    state::windows().fmNirel3 = main;
    conclusion::reach::open();
    const QList<QWidget *> windows{main,
                                   state::ensureWindow(state::windows().fmCard),
                                   state::ensureWindow(state::windows().fmDeep),
                                   state::ensureWindow(state::windows().fmExpress),
                                   state::ensureWindow(state::windows().fmConcl),
                                   state::ensureWindow(state::windows().fmShProek),
                                   state::ensureWindow(state::windows().fmPupil),
                                   state::ensureWindow(state::windows().fmGuid),
                                   state::windows().fmReach.data(),
                                   state::ensureWindow(state::windows().fmPhoto),
                                   new TAboutBox(main),
                                   new TfmBackups(main, QStringLiteral("k.LST"), {}),
                                   HelpViewer::open()};
    int checked = 0;
    for (QWidget *window : windows) {
        for (QWidget *c : window->findChildren<QWidget *>()) {
            if (!isControl(c) || c->window() != window)
                continue;
            ++checked;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c);
            QVERIFY2(iface && !iface->text(QAccessible::Name).isEmpty(),
                     qPrintable(window->objectName() + QLatin1Char('/') + c->objectName()));
            if (!c->statusTip().isEmpty())
                QVERIFY2(!c->toolTip().isEmpty(), qPrintable(window->objectName() + QLatin1Char('/') + c->objectName()));
        }
    }
    QVERIFY(checked > 60);

    // A value on show: the colour number of a chart click.
    ScriptedPrompter prompter;
    env.seed(QStringLiteral("SystmTxt/DeckOrgans.txt"));
    PressChart(state::chartgeom::Chart::Deck, true, QPoint(120, 120));
    QVERIFY(!charts::chartlinks::shownZone().colour.isEmpty());
    // Latin letters and digits run together with a digit, an underscore or
    // a capital inside: "Exit1", "bbOKDeep", "mm_Sign".
    const QRegularExpression identifier(
        QStringLiteral("^(?=[A-Za-z_][A-Za-z0-9_]*$)(?=.*([0-9_]|[a-z][A-Z]))"));
    int labels = 0;
    for (QWidget *window : windows) {
        for (QWidget *c : window->findChildren<QWidget *>()) {
            if (c->objectName().startsWith(QLatin1String("qt_")))
                continue;
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(c);
            if (!iface)
                continue;
            const QString name = iface->text(QAccessible::Name);
            const QString where = window->objectName() + QLatin1Char('/') + c->objectName() + QLatin1String(": ") + name;
            // A component name is no name for a person ("Exit1", "Label1").
            QVERIFY2(!identifier.match(name).hasMatch(), qPrintable(where));
            // A label that shows a value (a number) is read out with it: as
            // its name, or as name and value.
            const auto *label = qobject_cast<const QLabel *>(c);
            static const QRegularExpression digit(QStringLiteral("[0-9]"));
            if (!label || !label->text().contains(digit) || label->textFormat() == Qt::RichText ||
                label->text().contains(QLatin1Char('<')))
                continue;
            ++labels;
            const QString shown = QString(label->text()).remove(QLatin1Char('&'));
            QVERIFY2(name.contains(shown) || iface->text(QAccessible::Value).contains(shown), qPrintable(where));
        }
    }
    QVERIFY(labels > 0);
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
