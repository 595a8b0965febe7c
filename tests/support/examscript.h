#pragma once
// The examination's lists as a test writes them directly: for states no
// sequence of its operations reaches (lines cut by hand after grouping, a
// summary over a scripted examination). Otherwise tests use the operations.
#include "state/examination.h"

class ExaminationScript {
public:
    state::Examination &exam = state::examination();
    int &DeepPassCount = exam.DeepPassCount;
    QStringList &RightEyeSigns = exam.RightEyeSigns;
    QStringList &LeftEyeSigns = exam.LeftEyeSigns;
    QStringList &RightEyeSignsOld = exam.RightEyeSignsOld;
    QStringList &LeftEyeSignsOld = exam.LeftEyeSignsOld;
    QStringList &PathologyLines = exam.PathologyLines;
    QStringList &UniquePathologyLines = exam.UniquePathologyLines;
    QStringList &FindingLines = exam.FindingLines;
    QStringList &ConsultLines = exam.ConsultLines;
    QList<int> &SignCodes = exam.SignCodes;
    QStringList &VelkhoverLines = exam.VelkhoverLines;
    QStringList &KrivenkoLines = exam.KrivenkoLines;
    QStringList &ExpressLines = exam.ExpressLines;
    int &ConclCaretLine = exam.ConclCaretLine;
    int &ConclCaretColumn = exam.ConclCaretColumn;
    int &GuideLineIndex = exam.GuideLineIndex;
    QString &GuidePhrase = exam.GuidePhrase;
    QString &ConclLineHead = exam.ConclLineHead;
    QString &ConclLineTail = exam.ConclLineTail;
    int &ConclMode = exam.ConclMode;
};
