#pragma once
// Recording the deep window's two boxes into the examination, as plain data:
// the sign lines go to the chosen eye, the pathology lines are accumulated
// and their repeats removed. The first recording after a reset
// (DeepPassCount 0) replaces what was there, every later one adds to it.
#include <QStringList>

namespace state::deep {

// The lines of a text box as they are recorded: a line break typed at the
// very end leaves an empty last line in the box, which is not a line of its
// own (a stray empty pathology line would fail the grouping).
QStringList boxLines(const QStringList &lines);

// Of every group of identical lines (exact, case-sensitive) only the last
// occurrence survives; the survivors keep their order.
QStringList uniqueLines(const QStringList &lines);

// The chosen eye's sign lines after one press: exactly the new lines on the
// first recording, else the eye's lines followed by them.
QStringList recordSigns(bool firstRecording, const QStringList &eyeSigns, const QStringList &signs);

// PathologyLines and UniquePathologyLines after one press. The first
// recording takes the box's lines for both, repeats within them kept; a
// later one appends them to the accumulation and removes the repeats over
// all of it.
struct Pathologies {
    QStringList lines;  // PathologyLines
    QStringList unique; // UniquePathologyLines
};
Pathologies recordPathologies(bool firstRecording, const QStringList &accumulated, const QStringList &lines);

} // namespace state::deep
