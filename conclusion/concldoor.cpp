#include "conclusion/concldoor.h"

#include "conclusion/tfmconcl.h"
#include "state/examstate.h"
#include "state/openwindow.h"

#include <QTextDocument>

namespace concl {

namespace {
Memo *box()
{
    return state::ensureWindow(state::windows().fmConcl)->mmConcl;
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

QWidget *window()
{
    return state::windows().fmConcl.data();
}

bool holdsUnsavedConclusion()
{
    const TfmConcl *w = state::windows().fmConcl.data();
    return w && state::ConclMode == 0 && w->unsaved() && !w->mmConcl->document()->isEmpty();
}

void markSaved()
{
    if (TfmConcl *w = state::windows().fmConcl.data())
        w->setUnsaved(false);
}

QStringList lines()
{
    return state::windows().fmConcl ? state::windows().fmConcl->mmConcl->lines() : QStringList{};
}

void clear()
{
    box()->clearLines();
    state::windows().fmConcl->setUnsaved(false);
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

void enrol()
{
    state::enrolWindow(QStringLiteral("fmConcl"), &state::Windows::fmConcl);
}

} // namespace concl
