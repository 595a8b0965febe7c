#include "conclusion/reachdoor.h"

#include "conclusion/handover.h"
#include "conclusion/tfmconcl.h"
#include "conclusion/tfmreach.h"
#include "state/openwindow.h"

#include <QTextCharFormat>

namespace reach {

namespace {

TfmReach *openEditor(QWidget *owner)
{
    return state::openWindow(state::windows().fmReach, owner);
}

} // namespace

bool exists()
{
    return !state::windows().fmReach.isNull();
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmReach"), &state::Windows::fmReach);
}

void open(QWidget *owner)
{
    openEditor(owner);
}

void takeDraftFromClipboard(QWidget *owner)
{
    openEditor(owner)->replaceWithClipboard();
}

void openFinalCopy(QWidget *owner)
{
    TfmReach *w = openEditor(owner);
    if (!state::windows().fmConcl)
        return;
    conclusion::copyDraftToClipboard(state::windows().fmConcl->mmConcl);
    w->replaceWithClipboard();
    w->SelectAllItemClick();
    QTextCharFormat size;
    size.setFontPointSize(12);
    w->mergeTargetAttributes(size);
    w->SelectionChange();
}

} // namespace reach
