#include "conclusion/summary.h"

#include "conclusion/texts.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "state/preliminary.h"

namespace conclusion {

namespace {

void appendFile(Summary &s, const QString &name)
{
    const platform::textfile::ReadResult r = platform::textfile::readLines(platform::paths::local(name));
    s.lines += r.lines;
    if (!r.ok)
        s.notices.append({s.lines.size(), platform::paths::absentMessage(name), false});
}

} // namespace

QString patientLine(const std::optional<CardFields> &card)
{
    if (!card)
        return kPatientPlaceholder + blanks(kGapInPlaceholder) + kDatePlaceholder;
    return card->firstName + QLatin1Char(' ') + card->patronymic + QLatin1Char(' ') + card->surname
        + blanks(kGapAfterName) + card->dateLabel + QLatin1Char(' ') + card->date;
}

Summary assembleSummary(const Examined &exam, const std::optional<CardFields> &card)
{
    Summary s;
    const qsizetype findings = exam.deep ? exam.deep->findingLines.size() : 0;
    s.lines.reserve(40 + exam.expressLines.size() + exam.rightEyeSigns.size() + exam.leftEyeSigns.size() + findings);

    appendFile(s, platform::paths::kCaption);
    s.lines << QString() << kConclusionTitle << patientLine(card) << QString();
    s.lines += exam.expressLines;
    s.lines << QString() << kDeepTitle << state::deep::kCardTitle;
    if (!exam.rightEyeSigns.isEmpty())
        s.lines << state::deep::kRightEye << exam.rightEyeSigns;
    if (!exam.leftEyeSigns.isEmpty())
        s.lines << state::deep::kLeftEye << exam.leftEyeSigns;
    s.lines << QString() << kFindingsTitle;
    if (exam.deep) {
        // Every element shows from its 9th character: the pathology code and
        // the body-system code are dropped, and a heading stored with 17
        // leading blanks shows with 9.
        for (const QString &f : exam.deep->findingLines)
            s.lines << state::deep::shownFinding(f);
        const Consultations &c = exam.deep->consultations;
        if (!c.ok) {
            s.notices.append({s.lines.size(), c.error, true});
            return s;
        }
        s.lines << c.lines.constFirst();
    }
    s.lines << QString() << QString() << QString();
    appendFile(s, platform::paths::kSignature);
    return s;
}

} // namespace conclusion
