#include "deep/tfmdeep.h"

#include "conclusion/concldoor.h"
#include "deep/preliminary.h"
#include "deep/recording.h"
#include "deep/signmenus.h"
#include "help/help.h"
#include "platform/controls.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "state/examstate.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

#include <exception>

namespace {

Memo *makeBox(QWidget *parent, const char *name, const QString &accessibleName, const QString &hint)
{
    auto *m = new Memo(parent);
    ui::describe(m, name, accessibleName, hint);
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Sign and pathology lines go on whole into the examination; they are
    // not wrapped, so even a very long one costs time only in proportion.
    m->setLongLinesBroken(false);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return m;
}

} // namespace

QStringList TfmDeep::systemItems()
{
    return {
        QStringLiteral("  1    Обшие характеристики"),
        QStringLiteral("  2    Нервная система"),
        QStringLiteral("  3    Сердечно-сосудистая система"),
        QStringLiteral("  4    Дыхательная система"),
        QStringLiteral("  5    Пищеварительная система"),
        QStringLiteral("  6    Мочевыделительная и половая системы"),
        QStringLiteral("  7    Эндокринная система"),
        QStringLiteral("  8    Опорно-двигательная"),
        QStringLiteral("  9    Кожа"),
        QStringLiteral(" 10   Органы зрения и ЛОР"),
        QStringLiteral(" 11   Рекомендации"),
    };
}

QString TfmDeep::systemsText()
{
    return QStringLiteral(" Разделы заключения иридолога");
}

TfmDeep::TfmDeep(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmDeep"));
    setWindowTitle(QStringLiteral("Углубленная диагностика"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);

    MenuDeep = new QMenuBar(this);
    MenuDeep->setObjectName(QStringLiteral("MenuDeep"));
    MenuDeep->setNativeMenuBar(false);
    layout->setMenuBar(MenuDeep);
    // --- The sign catalogue fills MenuDeep here. ---
    buildSignMenus(MenuDeep);

    gbEye = new QGroupBox(QStringLiteral("Глаз"), this);
    gbEye->setObjectName(QStringLiteral("gbEye"));
    gbEye->setAccessibleName(gbEye->title());
    ui::setHint(gbEye, QStringLiteral("Глаз: правый или левый"));
    rbRight = new QRadioButton(QStringLiteral("Правый"), gbEye);
    rbRight->setObjectName(QStringLiteral("rbRight"));
    rbRight->setAccessibleName(rbRight->text());
    rbRight->setChecked(true);
    rbLeft = new QRadioButton(QStringLiteral("Левый"), gbEye);
    rbLeft->setObjectName(QStringLiteral("rbLeft"));
    rbLeft->setAccessibleName(rbLeft->text());
    auto *eyeRow = new QHBoxLayout(gbEye);
    eyeRow->setContentsMargins(8, 2, 8, 2);
    eyeRow->addWidget(rbRight);
    eyeRow->addSpacing(24);
    eyeRow->addWidget(rbLeft);
    eyeRow->addStretch(1);
    layout->addWidget(gbEye);

    gbSign = new QGroupBox(QStringLiteral("Признак"), this);
    gbSign->setObjectName(QStringLiteral("gbSign"));
    gbSign->setAccessibleName(gbSign->title());
    mmSign = makeBox(gbSign, "mmSign", gbSign->title(),
                     QStringLiteral("Наименование заданного признака"));
    auto *signBox = new QVBoxLayout(gbSign);
    signBox->setContentsMargins(4, 2, 4, 4);
    signBox->addWidget(mmSign);
    layout->addWidget(gbSign, 2);

    gbPathology = new QGroupBox(QStringLiteral("Патологии"), this);
    gbPathology->setObjectName(QStringLiteral("gbPathology"));
    gbPathology->setAccessibleName(gbPathology->title());
    mmPathology = makeBox(gbPathology, "mmPathology", gbPathology->title(),
                          QStringLiteral("Патологии, соответствующие заданному признаку"));
    auto *pathologyBox = new QVBoxLayout(gbPathology);
    pathologyBox->setContentsMargins(4, 2, 4, 4);
    pathologyBox->addWidget(mmPathology);
    layout->addWidget(gbPathology, 5);

    Panel1Deep = new QFrame(this);
    Panel1Deep->setObjectName(QStringLiteral("Panel1Deep"));
    Panel1Deep->setFrameShape(QFrame::NoFrame);
    cbSystems = new QComboBox(Panel1Deep);
    cbSystems->setObjectName(QStringLiteral("cbSystems"));
    cbSystems->setEditable(true);
    // Typing into the box only changes its text; it never grows the list.
    cbSystems->setInsertPolicy(QComboBox::NoInsert);
    cbSystems->addItems(systemItems());
    cbSystems->setCurrentIndex(-1);
    cbSystems->setEditText(systemsText());
    cbSystems->lineEdit()->setCursorPosition(0);
    cbSystems->setAccessibleName(QStringLiteral("Разделы заключения иридолога"));
    ui::setHint(cbSystems, QStringLiteral("Кодировка разделов заключения"));
    cbSystems->setMinimumContentsLength(10);
    cbSystems->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbSystems->view()->setMinimumWidth(cbSystems->view()->sizeHintForColumn(0) + 24);

    bbOKDeep = ui::makeButton(Panel1Deep, "bbOKDeep", QStringLiteral("Заключение"),
                              QStringLiteral("Просмотр полученных результатов в окне заключения"),
                              style()->standardIcon(QStyle::SP_DialogApplyButton));
    connect(bbOKDeep, &QPushButton::clicked, this, &TfmDeep::bbOKDeepClick);

    bbHelpDeep = help::makeButton(Panel1Deep, "bbHelpDeep",
                                  QStringLiteral("Справка по разделу \"Углубленная диагностика\""));
    connect(bbHelpDeep, &QPushButton::clicked, this, &TfmDeep::bbHelpDeepClick);

    // The list of sections takes a row of its own so that its text is not
    // cut; the two buttons sit below it on the right.
    auto *panelRows = new QVBoxLayout(Panel1Deep);
    panelRows->setContentsMargins(0, 0, 0, 0);
    panelRows->setSpacing(4);
    panelRows->addWidget(cbSystems);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(bbOKDeep);
    buttonRow->addWidget(bbHelpDeep);
    panelRows->addLayout(buttonRow);
    layout->addWidget(Panel1Deep);

    keepSignModified();
    place::outer(this, 1, 96, 373, 469);
}

// The sign box counts as modified after every change of its text since the
// program last emptied it: typing (even typing that empties it), undo, a
// sign choice, the chart and pupil windows. Only the program's own emptying
// (Memo::clearLines, setLines with nothing) clears it. The text box alone
// forgets the flag whenever its text is written in whole or an undo returns
// to the emptied state, so the window keeps the flag itself and puts it back.
void TfmDeep::keepSignModified()
{
    QTextDocument *doc = mmSign->document();
    connect(mmSign, &QPlainTextEdit::textChanged, this, [this, doc] {
        // The text is written in whole (setPlainText, clear) with undo
        // switched off; edits and appends keep undo on.
        m_signChanged = doc->isUndoRedoEnabled() || !doc->isEmpty();
        if (doc->isModified() != m_signChanged)
            doc->setModified(m_signChanged);
    });
    connect(doc, &QTextDocument::modificationChanged, this, [this, doc](bool on) {
        if (on != m_signChanged)
            doc->setModified(m_signChanged);
    });
}

void TfmDeep::bbOKDeepClick()
{
    state::ConclMode = 0;
    if (!mmSign->modified())
        return;
    bool ok = false;
    try {
        const deep::Eye eye = rbLeft->isChecked() ? deep::Eye::Left : deep::Eye::Right;
        QStringList text;
        ok = deep::recordExamination(eye, deep::boxLines(mmSign->lines()),
                                     deep::boxLines(mmPathology->lines()));
        if (ok) {
            concl::open();
            ok = deep::preliminaryConclusion(&text);
            if (ok) {
                concl::clear();
                concl::appendLines(text);
            }
        }
    } catch (const std::exception &) {
        ok = false;
    }
    if (!ok)
        ui::showMessage(this, deep::kWriteFailed);
}

void TfmDeep::bbHelpDeepClick()
{
    help::showContext(help::kDeepContext);
}
