#include "deep/deepdoor.h"

#include "deep/tfmdeep.h"
#include "state/openwindow.h"

#include <QRadioButton>

namespace deep {

namespace {
TfmDeep *ensured()
{
    return state::ensureWindow(state::windows().fmDeep);
}
} // namespace

void open()
{
    state::openWindow(state::windows().fmDeep);
}

bool exists()
{
    return !state::windows().fmDeep.isNull();
}

QWidget *window()
{
    return state::windows().fmDeep.data();
}

Eye chosenEye()
{
    return state::windows().fmDeep && state::windows().fmDeep->rbLeft->isChecked() ? Eye::Left : Eye::Right;
}

QStringList signLines()
{
    return state::windows().fmDeep ? state::windows().fmDeep->mmSign->lines() : QStringList{};
}

void setSignLines(const QStringList &lines)
{
    ensured()->mmSign->setLines(lines);
}

void appendSignLine(const QString &line)
{
    Memo *box = ensured()->mmSign;
    box->appendLine(line);
    box->setModified(true);
}

void clearSignLines()
{
    ensured()->mmSign->clearLines();
}

QStringList pathologyLines()
{
    return state::windows().fmDeep ? state::windows().fmDeep->mmPathology->lines() : QStringList{};
}

void setPathologyLines(const QStringList &lines)
{
    ensured()->mmPathology->setLines(lines);
}

void appendPathologyLines(const QStringList &lines)
{
    ensured()->mmPathology->appendLines(lines);
}

void clearPathologyLines()
{
    ensured()->mmPathology->clearLines();
}

void enrol()
{
    state::enrolWindow(QStringLiteral("fmDeep"), &state::Windows::fmDeep);
}

} // namespace deep
