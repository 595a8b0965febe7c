#include "deep/tfmdeep.h"

#include "deep/signmenus.h"
#include "help/help.h"
#include "platform/controls.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "platform/titlebar.h"
#include "state/bodysystem.h"
#include "state/examination.h"
#include "state/preliminary.h"
#include "state/windows.h"

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
#include <QVBoxLayout>

#include <exception>

namespace {

// A box showing one of the examination's texts.
Memo *makeBox(QWidget *parent, LineDocument *text, const char *name, const QString &accessibleName,
              const QString &hint)
{
    auto *m = new Memo(text, parent);
    platform::ui::describe(m, name, accessibleName, hint);
    // Sign and pathology lines go on whole into the examination; they are
    // not wrapped, so even a very long one costs time only in proportion.
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return m;
}

} // namespace

QStringList TfmDeep::systemItems()
{
    QStringList items;
    for (int code = state::bodysystem::kFirst; code <= state::bodysystem::kLast; ++code)
        items.append(state::bodysystem::listItem(code));
    return items;
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
    setWindowFlags(platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                                | Qt::WindowContextHelpButtonHint));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);

    MenuDeep = new QMenuBar(this);
    MenuDeep->setObjectName(QStringLiteral("MenuDeep"));
    MenuDeep->setNativeMenuBar(false);
    layout->setMenuBar(MenuDeep);
    // --- The sign catalogue fills MenuDeep here. ---
    buildSignMenus(MenuDeep);

    state::Examination &exam = state::examination();
    gbEye = new QGroupBox(QStringLiteral("Глаз"), this);
    gbEye->setObjectName(QStringLiteral("gbEye"));
    gbEye->setAccessibleName(gbEye->title());
    platform::ui::setHint(gbEye, QStringLiteral("Глаз: правый или левый"));
    rbRight = new QRadioButton(QStringLiteral("Правый"), gbEye);
    rbRight->setObjectName(QStringLiteral("rbRight"));
    rbRight->setAccessibleName(rbRight->text());
    rbRight->setChecked(true);
    rbLeft = new QRadioButton(QStringLiteral("Левый"), gbEye);
    rbLeft->setObjectName(QStringLiteral("rbLeft"));
    rbLeft->setAccessibleName(rbLeft->text());
    // The eye is the examination's: the buttons show it and choose it.
    rbLeft->setChecked(exam.chosenEye() == state::Eye::Left);
    connect(rbLeft, &QRadioButton::toggled, this, [](bool left) {
        state::examination().chooseEye(left ? state::Eye::Left : state::Eye::Right);
    });
    connect(&exam, &state::Examination::eyeChosen, this, [this](state::Eye eye) {
        (eye == state::Eye::Left ? rbLeft : rbRight)->setChecked(true);
    });
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
    mmSign = makeBox(gbSign, exam.signDocument(), "mmSign", gbSign->title(),
                     QStringLiteral("Наименование заданного признака"));
    auto *signBox = new QVBoxLayout(gbSign);
    signBox->setContentsMargins(4, 2, 4, 4);
    signBox->addWidget(mmSign);
    layout->addWidget(gbSign, 2);

    gbPathology = new QGroupBox(QStringLiteral("Патологии"), this);
    gbPathology->setObjectName(QStringLiteral("gbPathology"));
    gbPathology->setAccessibleName(gbPathology->title());
    mmPathology = makeBox(gbPathology, exam.pathologyDocument(), "mmPathology", gbPathology->title(),
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
    platform::ui::setHint(cbSystems, QStringLiteral("Кодировка разделов заключения"));
    cbSystems->setMinimumContentsLength(10);
    cbSystems->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbSystems->view()->setMinimumWidth(cbSystems->view()->sizeHintForColumn(0) + 24);

    bbOKDeep = platform::ui::makeButton(Panel1Deep, "bbOKDeep", QStringLiteral("Заключение"),
                              QStringLiteral("Просмотр полученных результатов в окне заключения"),
                              style()->standardIcon(QStyle::SP_DialogApplyButton));
    connect(bbOKDeep, &QPushButton::clicked, this, &TfmDeep::recordSign);

    bbHelpDeep = help::makeButton(Panel1Deep, "bbHelpDeep",
                                  QStringLiteral("Справка по разделу \"Углубленная диагностика\""));
    connect(bbHelpDeep, &QPushButton::clicked, this, &TfmDeep::showHelp);

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

    platform::place::outer(this, 1, 96, 373, 469);
}

void TfmDeep::recordSign()
{
    state::Examination &exam = state::examination();
    exam.setConclMode(0);
    if (!exam.signModified())
        return;
    bool ok = false;
    try {
        ok = exam.recordChosenEye();
        if (ok) {
            // The draft window shows the examination's draft, where the
            // preliminary conclusion goes.
            state::windows().open(QStringLiteral("fmConcl"));
            ok = exam.drawUpPreliminary();
        }
    } catch (const std::exception &) {
        ok = false;
    }
    if (!ok)
        platform::ui::showMessage(this, state::deep::kWriteFailed);
}

void TfmDeep::showHelp()
{
    help::showContext(help::kDeepContext);
}

bool TfmDeep::chooseItem(const QString &name)
{
    QAction *item = MenuDeep->findChild<QAction *>(name);
    if (!item)
        return false;
    item->trigger();
    return true;
}
