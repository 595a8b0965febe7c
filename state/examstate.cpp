#include "state/examstate.h"

namespace state {

void setStartValues()
{
    DeepPassCount = 0;
}

bool resultsRecorded()
{
    return DeepPassCount > 0 || RightEyeSignCount > 0 || LeftEyeSignCount > 0 || ExpressLineCount > 0 ||
           VelkhoverLineCount > 0 || KrivenkoLineCount > 0;
}

void clearAll()
{
    DeepPassCount = 0;
    RightEyeSigns.clear();
    RightEyeSignCount = 0;
    LeftEyeSigns.clear();
    LeftEyeSignCount = 0;
    RightEyeSignsOld.clear();
    RightEyeSignCountOld = 0;
    LeftEyeSignsOld.clear();
    LeftEyeSignCountOld = 0;
    PathologyLines.clear();
    PathologyCount = 0;
    UniquePathologyLines.clear();
    UniquePathologyCount = 0;
    FindingLines.clear();
    FindingLineCount = 0;
    ConsultLines.clear();
    ConsultCount = 0;
    SignCodes.clear();
    SignCodeCount = 0;
    VelkhoverLines.clear();
    VelkhoverLineCount = 0;
    KrivenkoLines.clear();
    KrivenkoLineCount = 0;
    ExpressLines.clear();
    ExpressLineCount = 0;
    ConclCaretLine = 0;
    ConclCaretColumn = 0;
    GuideLineIndex = 0;
    GuidePhrase.clear();
    ConclLineHead.clear();
    ConclLineTail.clear();
    ConclMode = 0;
}

void putAt(QStringList &list, int index, const QString &value)
{
    while (list.size() <= index)
        list.append(QString());
    list[index] = value;
}

void putAt(QList<int> &list, int index, int value)
{
    while (list.size() <= index)
        list.append(0);
    list[index] = value;
}

QStringList valid(const QStringList &list, int count)
{
    if (count <= 0)
        return {};
    return list.mid(0, count);
}

} // namespace state
