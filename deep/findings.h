#pragma once
// The findings of the conclusion: the unique pathology lines grouped by body
// system, each system that occurs under its heading, systems in code order.
#include <QString>
#include <QStringList>

// The heading of body-system code 1..11: 17 blanks and the title, so that it
// shows with 9 leading blanks once its first 8 characters are dropped.
QString SystemHeading(int code);

// The findings of the first count lines, as GroupFindings stores them. A line
// whose body system lies outside 1-11 still counts as one element but has no
// heading to stand under; each such element is an empty line at the end.
// Returns false, with out untouched, when a line's characters 6-7 are not an
// integer.
bool groupFindings(const QStringList &lines, int count, QStringList *out);

// Rebuilds FindingLines and FindingLineCount from the first count of lines.
// Returns false, leaving them as they were, when a line has no integer
// body-system code.
bool GroupFindings(const QStringList &lines, int count);
