// Every control of every window can be found by a screen reader: it has an
// accessible name, and a control with a hint shows it as tooltip too.
#include "cards/tfmbackups.h"
#include "cards/tfmcard.h"
#include "charts/tfmpupil.h"
#include "charts/tfmshproek.h"
#include "conclusion/reachdoor.h"
#include "conclusion/tfmconcl.h"
#include "conclusion/tfmreach.h"
#include "deep/tfmdeep.h"
#include "express/tfmexpress.h"
#include "guides/tfmguid.h"
#include "photos/tfmphoto.h"
#include "help/helpviewer.h"
#include "shell/aboutbox.h"
#include "shell/tfmnirel3.h"
#include "state/openwindow.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
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
    reach::open();
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
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
