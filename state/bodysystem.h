#pragma once
// The body-system code of a pathology line (characters 6-7, codes 1 to 11):
// it picks the heading a finding is grouped under and the specialist to
// consult.
#include <QString>

namespace state::bodysystem {

constexpr int kFirst = 1;
constexpr int kLast = 11;           // recommendations
constexpr int kLastSpecialist = 10; // recommendations have no specialist

// What each system is called where it shows: the heading its findings are
// grouped under, the specialist to consult (none for recommendations), the
// item of the deep window's list of the conclusion's sections. Empty for a
// code outside 1 to 11.
QString heading(int code);
QString specialist(int code);
QString listItem(int code);

// Characters 6-7 of a line converted as a whole: leading blanks allowed, an
// optional sign, digits, nothing after them. A line too short to hold a digit
// there, or with anything else there, gives ok = false.
int codeOf(const QString &line, bool *ok);

} // namespace state::bodysystem
