#include "conclusion/reachdoor.h"

#include "conclusion/handover.h"
#include "conclusion/tfmconcl.h"
#include "conclusion/tfmreach.h"
#include "state/openwindow.h"

#include <QTextCharFormat>

namespace conclusion::reach {

namespace {

TfmReach *openEditor(QWidget *owner = state::windows().fmNirel3.data())
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

void open()
{
    openEditor();
}

void takeDraftFromClipboard()
{
    openEditor(state::windows().fmConcl.data())->replaceWithClipboard();
}

void openFinalCopy()
{
    TfmReach *w = openEditor();
    if (!state::windows().fmConcl)
        return;
    state::windows().fmConcl->copyDraftToClipboard();
    w->replaceWithClipboard();
    w->selectAllText();
    QTextCharFormat size;
    size.setFontPointSize(12);
    w->mergeTargetAttributes(size);
    w->SelectionChange();
}

} // namespace conclusion::reach
