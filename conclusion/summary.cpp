#include "conclusion/summary.h"

#include "conclusion/texts.h"
#include "deep/consultations.h"
#include "deep/preliminary.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "state/examstate.h"

namespace conclusion {

namespace {

// The first count elements of a list; an element the list does not hold
// reads as an empty line, so the count alone decides how many lines appear.
void appendCounted(QStringList &out, const QStringList &list, int count, qsizetype dropFront = 0)
{
    for (int i = 0; i < count; ++i)
        out.append(i < list.size() ? list.at(i).mid(dropFront) : QString());
}

void appendFile(Summary &s, const QString &name)
{
    const textfile::ReadResult r = textfile::readLines(paths::local(name));
    s.lines += r.lines;
    if (!r.ok)
        s.notices.append({s.lines.size(), paths::absentMessage(name), false});
}

} // namespace

QString patientLine(const std::optional<CardFields> &card)
{
    if (!card)
        return kPatientPlaceholder + blanks(kGapInPlaceholder) + kDatePlaceholder;
    return card->firstName + QLatin1Char(' ') + card->patronymic + QLatin1Char(' ') + card->surname
        + blanks(kGapAfterName) + card->dateLabel + QLatin1Char(' ') + card->date;
}

Summary assembleSummary(const std::optional<CardFields> &card)
{
    using namespace state;
    ConclMode = 0;
    Summary s;
    const qsizetype findings = DeepPassCount != 0 ? qMax(0, FindingLineCount) : 0;
    s.lines.reserve(40 + qMax(0, ExpressLineCount) + qMax(0, RightEyeSignCount) + qMax(0, LeftEyeSignCount)
                    + findings);

    appendFile(s, paths::kCaption);
    s.lines << QString() << kConclusionTitle << patientLine(card) << QString();
    appendCounted(s.lines, ExpressLines, ExpressLineCount);
    s.lines << QString() << kDeepTitle << deep::kCardTitle;
    if (RightEyeSignCount != 0) {
        s.lines << deep::kRightEye;
        appendCounted(s.lines, RightEyeSigns, RightEyeSignCount);
    }
    if (LeftEyeSignCount != 0) {
        s.lines << deep::kLeftEye;
        appendCounted(s.lines, LeftEyeSigns, LeftEyeSignCount);
    }
    s.lines << QString() << kFindingsTitle;
    if (DeepPassCount != 0) {
        // Every element shows from its 9th character: the pathology code and
        // the body-system code are dropped, and a heading stored with 17
        // leading blanks shows with 9.
        appendCounted(s.lines, FindingLines, FindingLineCount, 8);
        QString error;
        if (!BuildConsultations(&error)) {
            s.notices.append({s.lines.size(), error, true});
            return s;
        }
        s.lines << ConsultLines.constFirst();
    }
    s.lines << QString() << QString() << QString();
    appendFile(s, paths::kSignature);
    return s;
}

} // namespace conclusion
