#include "conclusion/concldoor.h"

#include "conclusion/tfmconcl.h"
#include "state/openwindow.h"

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

QStringList lines()
{
    return state::fmConcl ? state::fmConcl->mmConcl->lines() : QStringList{};
}

void clear()
{
    box()->clearLines();
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
