#pragma once
// Recording the deep window's two boxes into the examination: the sign lines
// go to the chosen eye, the pathology lines are accumulated and their repeats
// removed. The first recording after a reset (DeepPassCount 0) replaces what
// was there, every later one adds to it.
#include <QStringList>

namespace deep {

enum class Eye { Right, Left };

// The lines of a text box as they are recorded: a line break typed at the
// very end leaves an empty last line in the box, which is not a line of its
// own (a stray empty pathology line would fail the grouping).
QStringList boxLines(const QStringList &lines);

// Of every group of identical lines (exact, case-sensitive) only the last
// occurrence survives; the survivors keep their order.
QStringList uniqueLines(const QStringList &lines);

// The sign lines of one press, for the chosen eye.
void recordSigns(Eye eye, const QStringList &signs);

// The pathology lines of one press into PathologyLines and
// UniquePathologyLines.
void recordPathologies(const QStringList &lines);

// One press of "Заключение" up to the regrouped findings: signs, pathologies,
// GroupFindings, then DeepPassCount + 1. Returns false when the grouping
// failed on a line without an integer body-system code; the signs and the
// pathology lists are recorded then, DeepPassCount stays as it was.
bool recordExamination(Eye eye, const QStringList &signs, const QStringList &pathologies);

} // namespace deep
