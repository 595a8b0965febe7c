#pragma once
// The findings of the conclusion: the unique pathology lines grouped by body
// system, each system that occurs under its heading, systems in code order.
#include <QString>
#include <QStringList>

#include <optional>

// The heading of body-system code 1..11: 17 blanks and the title, so that it
// shows with 9 leading blanks once its first 8 characters are dropped.
QString SystemHeading(int code);

// FindingLines for the unique pathology lines. A line whose body system lies
// outside 1-11 still counts as one element but has no heading to stand
// under; each such element is an empty line at the end. Nothing when a
// line's characters 6-7 are not an integer.
std::optional<QStringList> GroupFindings(const QStringList &lines);
