// Text that comes from a file or from the user is shown as it is: the real
// message boxes and every label that can carry such text show it as plain
// text, so markup in it is never rendered and no link in it can be clicked.
#include "cards/tfmcard.h"
#include "platform/hints.h"
#include "platform/prompter.h"
#include "shell/tfmnirel3.h"
#include "state/cardindexfile.h"
#include "state/cardlock.h"
#include "state/openwindow.h"
#include "state/windows.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

namespace {

const QString kForged = QStringLiteral(
    "<h1 style='color:red'>ВНИМАНИЕ</h1><a href=\"http://example.org/x\">ссылка</a>");
const QString kForgedLink = QStringLiteral("<a href=\"file:///etc/passwd\">заключение</a>");

// Answers file dialogs from the script like ScriptedPrompter, but shows every
// message and question in the program's real message box, which is read and
// closed as soon as it is up.
class RealBoxes : public ScriptedPrompter {
public:
    struct Shown {
        QString text;
        Qt::TextFormat format = Qt::AutoText; // of the label holding the text
    };
    QList<Shown> shown;

    void message(QWidget *parent, const QString &text) override
    {
        ScriptedPrompter::message(parent, text);
        closeWhenUp();
        platform::ui::desktopPrompter().message(parent, text);
    }

    QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override
    {
        ScriptedPrompter::ask(parent, icon, text, buttons, defaultButton);
        closeWhenUp();
        return platform::ui::desktopPrompter().ask(parent, icon, text, buttons, defaultButton);
    }

private:
    void closeWhenUp()
    {
        auto *timer = new QTimer;
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            Shown s{box->text()};
            for (const QLabel *label : box->findChildren<QLabel *>())
                if (label->text() == box->text())
                    s.format = label->textFormat();
            shown.append(s);
            timer->deleteLater();
            box->buttons().constFirst()->click();
        });
        timer->start();
    }
};

// Every label of every window that shows part of the given text.
QList<QLabel *> labelsShowing(const QString &text)
{
    QList<QLabel *> out;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *label = qobject_cast<QLabel *>(w); label && label->text().contains(text))
            out << label;
    return out;
}

// What a tooltip or "What's This" shows: Qt renders a text as markup when
// its first line looks like markup.
QString shownTip(const QString &tip)
{
    if (!Qt::mightBeRichText(tip))
        return tip;
    QTextDocument doc;
    doc.setHtml(tip);
    return doc.toPlainText();
}

} // namespace

class TestPlainText : public QObject {
    Q_OBJECT
private slots:
    void untrustedTextIsNeverMarkup();
    void lockHolderInHintsIsNeverMarkup();
};

void TestPlainText::untrustedTextIsNeverMarkup()
{
    TestEnv env;
    RealBoxes boxes;
    auto *mainWindow = new TfmNirel3();
    state::windows().fmNirel3 = mainWindow;
    TfmCard *card = state::openWindow(state::windows().fmCard);

    // The message seam itself: a simple message and a question.
    platform::ui::showMessage(card, kForged);
    platform::ui::inform(card, kForged);

    // A card index whose data file has markup for an age.
    const QStringList record{QStringLiteral("01.02.2024"), kForged, kForged, kForged, kForged,
                             QString(), QString(), QString(), QString(), QString(), kForgedLink};
    env.writeLines(QStringLiteral("bad.lst"), {kForged});
    env.writeLines(QStringLiteral("bad.lso"), record);
    boxes.fileNames << env.path(QStringLiteral("bad.lst"));
    control<QAction>(card, "FileOpen")->trigger();

    // A card index file named with markup, listing a patient whose names and
    // conclusion file name are markup too.
    QStringList good = record;
    good[4] = QStringLiteral("40");
    const QString markupName = QStringLiteral("<h1><font color=red>BIG");
    env.writeLines(markupName + QStringLiteral(".lst"), {kForged});
    env.writeLines(markupName + QStringLiteral(".lso"), good);
    boxes.fileNames << env.path(markupName + QStringLiteral(".lst"));
    control<QAction>(card, "FileOpen")->trigger();
    QVERIFY(control<QLabel>(card, "labelCard")->text().contains(markupName));
    card->selectRow(0);
    control<QAction>(card, "CardEdit")->trigger();
    QCOMPARE(control<QLineEdit>(card, "ConclEdit")->text(), kForgedLink);
    mainWindow->showHint(QStringLiteral("Подсказка"));
    QVERIFY(control<QStatusBar>(mainWindow, "StatusBar1")->currentMessage().contains(kForged));

    // "Просмотр" names the missing conclusion file in its message.
    control<QPushButton>(card, "bbCnclCard")->click();

    QCOMPARE(boxes.texts().size(), 4);
    QCOMPARE(boxes.shown.size(), boxes.texts().size());
    for (const RealBoxes::Shown &s : boxes.shown) {
        QVERIFY2(s.text.contains(kForged) || s.text.contains(kForgedLink), qPrintable(s.text));
        QVERIFY2(s.format == Qt::PlainText, qPrintable(s.text));
    }
    QVERIFY(!labelsShowing(markupName).isEmpty());
    for (const QString &text : {kForged, kForgedLink, markupName})
        for (const QLabel *label : labelsShowing(text))
            QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
}

// A lock written by a hostile program names its holder in markup; the card
// window opened to read only says who holds the pair in tooltips, "What's
// This" and the status bar, always as the text it is.
void TestPlainText::lockHolderInHintsIsNeverMarkup()
{
    TestEnv env;
    RealBoxes boxes;
    auto *mainWindow = new TfmNirel3();
    state::windows().fmNirel3 = mainWindow;
    const QString list = env.path(QStringLiteral("k.LST"));
    QVERIFY(state::cardindex::writePair(list, {CardEntry{QStringLiteral("Петров"), THuman(QStringLiteral("Петров"))}}).ok);
    const QString holder = QStringLiteral("<img src=\"/dev/zero\"><b>ВРЕДИТЕЛЬ</b>");
    state::cardlock::Holder far = state::cardlock::me(QStringLiteral("чужой"));
    far.user = holder;
    far.host = QStringLiteral("<a href=\"http://example.org\">РЕГИСТРАТУРА</a>");
    QString error;
    QCOMPARE(state::cardlock::take(list, far, &error), state::cardlock::Take::Taken);

    TfmCard *card = state::openWindow(state::windows().fmCard);
    boxes.fileNames << list; // "Открыть её только для чтения?": "Да"
    control<QAction>(card, "FileOpen")->trigger();
    QVERIFY(card->readOnly());

    int carriers = 0;
    const auto check = [&](const QString &what, const QString &text) {
        if (!text.contains(QStringLiteral("ВРЕДИТЕЛЬ")))
            return;
        ++carriers;
        QVERIFY2(shownTip(text).contains(holder), qPrintable(what + QStringLiteral(": ") + text));
    };
    for (QWidget *w : QApplication::allWidgets()) {
        check(w->objectName() + QStringLiteral(" tooltip"), w->toolTip());
        check(w->objectName() + QStringLiteral(" what's this"), w->whatsThis());
    }
    for (QAction *a : card->findChildren<QAction *>())
        check(a->objectName() + QStringLiteral(" tooltip"), a->toolTip());
    QVERIFY2(carriers >= 4, qPrintable(QString::number(carriers))); // the mark, "Сохранить", "Копии"
    QVERIFY(control<QLabel>(card, "lbReadOnly")->toolTip().contains(QStringLiteral("ВРЕДИТЕЛЬ")));
    QVERIFY(control<QLabel>(card, "lbReadOnly")->whatsThis().contains(QStringLiteral("ВРЕДИТЕЛЬ")));

    // The status bar shows the hint as plain text.
    HintHub::instance().install();
    QStatusTipEvent tip(control<QLabel>(card, "lbReadOnly")->statusTip());
    QCoreApplication::sendEvent(control<QLabel>(card, "lbReadOnly"), &tip);
    QVERIFY(control<QStatusBar>(mainWindow, "StatusBar2")->currentMessage().contains(holder));
}

QTEST_MAIN(TestPlainText)
#include "test_plaintext.moc"
