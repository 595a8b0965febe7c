#include "conclusion/tfmconcl.h"

#include "conclusion/handover.h"
#include "conclusion/save.h"
#include "conclusion/summary.h"
#include "conclusion/texts.h"
#include "help/help.h"
#include "platform/controls.h"
#include "platform/place.h"
#include "platform/pressmemo.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "platform/titlebar.h"
#include "state/carddoor.h"
#include "state/examination.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TfmConcl::TfmConcl(QWidget *owner)
    : QWidget(owner, platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                                 | Qt::WindowContextHelpButtonHint))
{
    setObjectName(QStringLiteral("fmConcl"));
    setWindowTitle(QStringLiteral("Заключение"));

    auto *memo = new PressMemo(state::examination().draftDocument(), this);
    mmConcl = memo;
    mmConcl->setObjectName(QStringLiteral("mmConcl"));
    const QString memoHint = QStringLiteral("Черновое заключение");
    mmConcl->setAccessibleName(memoHint);
    mmConcl->setToolTip(memoHint);
    mmConcl->setStatusTip(memoHint);
    mmConcl->setAccessibleDescription(memoHint);
    mmConcl->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmConcl->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmConcl->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Word boundaries first; a word longer than the box is still broken.
    mmConcl->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // The conclusion is laid out in blanks for about seventy characters a
    // row (the titles centred, the date at the right of the patient line),
    // and it is saved as the box wraps it: a condensed face keeps those rows
    // whole in the box's width.
    mmConcl->setFont(QFont(QStringLiteral("DejaVu Sans Condensed"), 8));
    mmConcl->document()->setDocumentMargin(2);

    bbOKCnkl = platform::ui::makeButton(this, "bbOKCnkl", QStringLiteral("Итог"),
                          QStringLiteral("Результаты автоматизированной диагностики"), style()->standardIcon(QStyle::SP_DialogApplyButton));
    bbSaveCncl = platform::ui::makeButton(this, "bbSaveCncl", QStringLiteral("Сохранить"),
                            QStringLiteral("Сохранение текта заключения на диске"), style()->standardIcon(QStyle::SP_DialogSaveButton));
    bbEditCncl = platform::ui::makeButton(this, "bbEditCncl", QStringLiteral("Печатать"),
                            QStringLiteral("Редактирование и печать текста заключения"), style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    bbHelpCncl = help::makeButton(this, "bbHelpCncl", QStringLiteral("Справка по разделу \"Заключение иридолога\""));

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    buttons->addWidget(bbOKCnkl);
    buttons->addWidget(bbSaveCncl);
    buttons->addWidget(bbEditCncl);
    buttons->addWidget(bbHelpCncl);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(mmConcl, 1);
    layout->addLayout(buttons);

    connect(bbOKCnkl, &QPushButton::clicked, this, &TfmConcl::drawUpSummary);
    connect(bbSaveCncl, &QPushButton::clicked, this, &TfmConcl::saveConclusion);
    connect(bbEditCncl, &QPushButton::clicked, this, &TfmConcl::handOverToFinalEditor);
    connect(bbHelpCncl, &QPushButton::clicked, this, &TfmConcl::showHelp);
    connect(memo, &PressMemo::pressed, this, &TfmConcl::noteCaret);

    platform::place::client(this, 373, 96, 386, 442);
}

void TfmConcl::drawUpSummary()
{
    std::optional<conclusion::CardFields> fields;
    if (state::card::exists()) {
        const state::card::Patient p = state::card::patient();
        fields = conclusion::CardFields{p.surname, p.firstName, p.patronymic, p.dateLabel, p.date};
    }
    state::Examination &exam = state::examination();
    exam.setConclMode(0);
    conclusion::Examined examined{exam.expressLines(), exam.rightEyeSigns(), exam.leftEyeSigns(), std::nullopt};
    if (exam.deepPassCount() != 0)
        examined.deep = conclusion::Examined::Deep{exam.findingLines(), exam.rebuildConsultations()};
    const conclusion::Summary summary = conclusion::assembleSummary(examined, fields);

    // Each message shows over the lines assembled before it, as the
    // assembly reaches it.
    mmConcl->clearLines();
    qsizetype shown = 0;
    for (const conclusion::Notice &notice : summary.notices) {
        mmConcl->appendLines(summary.lines.mid(shown, notice.lineCount - shown));
        shown = notice.lineCount;
        if (notice.error)
            platform::ui::prompter().ask(this, QMessageBox::Critical, notice.text, QMessageBox::Ok);
        else
            platform::ui::showMessage(this, notice.text);
    }
    if (shown == 0)
        mmConcl->setLines(summary.lines);
    else
        mmConcl->appendLines(summary.lines.mid(shown));
}

void TfmConcl::saveConclusion()
{
    // The card window comes up first, in every mode: the name of a written
    // conclusion goes into its conclusion field.
    state::card::open();
    const QString surname = state::card::exists() ? state::card::patient().surname : QString();
    state::Examination &exam = state::examination();
    const int mode = exam.conclMode();
    const QString chosen = platform::ui::prompter().saveFileName(
        this, platform::ui::FileRequest{QString(), conclusion::proposedName(mode, surname), conclusion::kSaveFilter,
                              conclusion::kSaveSuffix});
    if (chosen.isEmpty())
        return;
    if (platform::textfile::writeLines(chosen, mmConcl->displayedLines())) {
        if (mode == 0 && state::card::exists())
            state::card::setConclFile(chosen);
        exam.markDraftSaved();
        return;
    }
    // Nothing was written, so the card keeps the conclusion it had: the
    // notice says this one is not in the card index.
    conclusion::handOverToFinalEditor(mmConcl);
    platform::ui::inform(this, conclusion::kHandOverNotice);
}

void TfmConcl::handOverToFinalEditor()
{
    conclusion::handOverToFinalEditor(mmConcl);
}

void TfmConcl::showHelp()
{
    help::showContext(help::kDraftContext);
}

void TfmConcl::noteCaret()
{
    const Memo::Place caret = mmConcl->displayedCaret();
    state::examination().setConclCaret(caret.line, caret.column);
}

void TfmConcl::copyDraftToClipboard()
{
    conclusion::copyDraftToClipboard(mmConcl);
}
