#include "conclusion/concldoor.h"

#include "conclusion/tfmconcl.h"
#include "platform/prompter.h"
#include "state/examination.h"
#include "state/openwindow.h"

namespace conclusion::concl {

namespace {
state::Examination &draft()
{
    state::ensureWindow(state::windows().fmConcl);
    return state::examination();
}
} // namespace

void open()
{
    state::openWindow(state::windows().fmConcl);
}

bool exists()
{
    return !state::windows().fmConcl.isNull();
}

void showMessage(const QString &text)
{
    platform::ui::showMessage(state::windows().fmConcl.data(), text);
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmConcl"), &state::Windows::fmConcl);
}

bool holdsUnsavedConclusion()
{
    return exists() && state::examination().holdsUnsavedConclusion();
}

void markSaved()
{
    if (exists())
        state::examination().markDraftSaved();
}

QStringList lines()
{
    return exists() ? state::examination().draftLines() : QStringList{};
}

void clear()
{
    draft().clearDraft();
}

void setLines(const QStringList &lines)
{
    draft().setDraftLines(lines);
}

void appendLines(const QStringList &lines)
{
    draft().appendDraftLines(lines);
}

} // namespace conclusion::concl
