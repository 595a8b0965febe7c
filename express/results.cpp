#include "express/results.h"

#include "state/examstate.h"

namespace express {

void storeVelkhover(const QStringList &lines)
{
    state::VelkhoverLines = lines;
    state::VelkhoverLineCount = int(lines.size());
}

void storeKrivenko(const QStringList &lines)
{
    state::KrivenkoLines = lines;
    state::KrivenkoLineCount = int(lines.size());
}

QStringList combineExpressLines()
{
    QStringList lines = state::valid(state::VelkhoverLines, state::VelkhoverLineCount);
    lines += state::valid(state::KrivenkoLines, state::KrivenkoLineCount);
    state::ExpressLines = lines;
    state::ExpressLineCount = int(lines.size());
    return lines;
}

} // namespace express
