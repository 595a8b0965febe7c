#include "state/preliminary.h"

namespace state::deep {

QString shownFinding(const QString &element)
{
    return element.mid(8);
}

QString shownSign(const QString &line)
{
    return QString(line).remove(QLatin1Char('&'));
}

namespace {

void appendEye(QStringList *out, const QString &title, const QStringList &signs)
{
    if (signs.isEmpty())
        return;
    out->append(title);
    *out += signs;
}

} // namespace

QStringList preliminaryConclusion(const QStringList &rightEyeSigns, const QStringList &leftEyeSigns,
                                  const QStringList &findingLines, const QString &consultations)
{
    QStringList text{kCardTitle};
    text.reserve(4 + rightEyeSigns.size() + leftEyeSigns.size() + findingLines.size());
    appendEye(&text, kRightEye, rightEyeSigns);
    appendEye(&text, kLeftEye, leftEyeSigns);
    text.append(kFindingsTitle);
    for (const QString &f : findingLines)
        text.append(shownFinding(f));
    text.append(consultations);
    return text;
}

} // namespace state::deep
