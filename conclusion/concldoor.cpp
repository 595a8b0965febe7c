#include "conclusion/concldoor.h"

#include "conclusion/tfmconcl.h"
#include "state/examstate.h"
#include "state/openwindow.h"

#include <QTextDocument>

namespace concl {

namespace {
Memo *box()
{
    return state::ensureWindow(state::fmConcl)->mmConcl;
}
} // namespace

void open()
{
    state::openWindow(state::fmConcl);
}

bool exists()
{
    return !state::fmConcl.isNull();
}

QWidget *window()
{
    return state::fmConcl.data();
}

bool holdsUnsavedConclusion()
{
    const TfmConcl *w = state::fmConcl.data();
    return w && state::ConclMode == 0 && w->unsaved() && !w->mmConcl->document()->isEmpty();
}

void markSaved()
{
    if (TfmConcl *w = state::fmConcl.data())
        w->setUnsaved(false);
}

QStringList lines()
{
    return state::fmConcl ? state::fmConcl->mmConcl->lines() : QStringList{};
}

void clear()
{
    box()->clearLines();
    state::fmConcl->setUnsaved(false);
}

void setLines(const QStringList &lines)
{
    box()->setLines(lines);
}

void appendLines(const QStringList &lines)
{
    box()->appendLines(lines);
}

void insertAt(int line, int column, const QString &text)
{
    box()->insertAtDisplayed(line, column, text);
}

QString displayedLine(int line)
{
    return box()->displayedLine(line);
}

} // namespace concl
