#include "deep/preliminary.h"

#include "deep/consultations.h"
#include "state/examstate.h"

namespace deep {

QString shownFinding(const QString &element)
{
    return element.mid(8);
}

namespace {

void appendEye(QStringList *out, const QString &title, QStringList &signs, int count)
{
    if (count <= 0)
        return;
    out->append(title);
    const int n = int(qMin<qsizetype>(count, signs.size()));
    for (int i = 0; i < n; ++i) {
        signs[i].remove(QLatin1Char('&'));
        out->append(signs.at(i));
    }
}

} // namespace

bool preliminaryConclusion(QStringList *out)
{
    QStringList text{kCardTitle};
    appendEye(&text, kRightEye, state::RightEyeSigns, state::RightEyeSignCount);
    appendEye(&text, kLeftEye, state::LeftEyeSigns, state::LeftEyeSignCount);
    text.append(kFindingsTitle);
    const int n = int(qMin<qsizetype>(qMax(state::FindingLineCount, 0), state::FindingLines.size()));
    for (int i = 0; i < n; ++i)
        text.append(shownFinding(state::FindingLines.at(i)));
    if (!BuildConsultations())
        return false;
    text.append(state::ConsultLines.value(0));
    *out = text;
    return true;
}

} // namespace deep
