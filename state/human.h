#pragma once
// The patient record of the card index: eleven fields, kept in this order on
// disk and in the card window's edit fields.
#include <QString>

class THuman {
public:
    // Makes a record for the given surname; every other field empty or 0.
    explicit THuman(const QString &surname = QString());

    QString Date;      // date of the card, as typed or put in by the calendar
    QString FName;     // surname
    QString LName;     // first name
    QString MName;     // middle name (patronymic)
    int Age = 0;       // age in years
    QString Doc;       // profession
    QString Addr;      // address
    QString Phone;     // telephone
    QString Complaint; // complaints
    QString Anamnesis; // family anamnesis
    QString Concl;     // full file name of the patient's saved conclusion

    friend bool operator==(const THuman &, const THuman &) = default;
};

namespace state::human {

// "Петров О.И.": the surname, a space, the first character of the first and
// of the middle name, each followed by a dot (an empty name gives the dot only).
QString displayText(const THuman &h);

// Whether two records name the same patient: surname, first name and
// patronymic alike, case and extra blanks aside.
bool samePatient(const THuman &a, const THuman &b);

// A card is kept one field per line, so a line break inside a field would
// shift every later field; each break (CR LF, CR or LF) becomes one space.
QString singleLine(const QString &text);

// The same record with every text field made single-line.
THuman singleLined(const THuman &h);

// An age written as a decimal integer (optional sign, within the 32-bit
// range, surrounding blanks allowed). Returns false for anything else.
bool parseAge(const QString &text, int *age);

// Age as typed in the card: an integer gives its value, anything else 0.
int ageFromText(const QString &text);

} // namespace state::human
