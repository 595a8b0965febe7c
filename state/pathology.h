#pragma once
// The pathology dictionary ".\SystmTxt\Patology.txt" and its lookup by code.
// A dictionary line: characters 1-4 the pathology code, 6-7 the body-system
// code, 9 to the end the text the conclusion shows. The file is read afresh
// for every lookup, so an edit takes effect at the next sign choice.
#include <QList>
#include <QString>
#include <QStringList>

namespace state::pathology {

// The pathology code of a dictionary line: the number at the start of its
// first four characters, leading blanks skipped, read up to the first
// non-digit. A line without a digit there has code 0, which no sign uses.
int codeOf(const QString &line);

// Looks up the codes in list order, reading the file at path once for all of
// them; matching lines are appended to out whole, grouped by code in list
// order (a code listed twice gives its lines twice) and in file order within
// a code. No codes return true at once without touching the file. Returns
// false, with nothing appended, when the file cannot be opened or read.
bool lookup(const QString &path, const QList<int> &codes, QStringList *out);

} // namespace state::pathology
