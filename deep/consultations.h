#pragma once
// The consultations sentence: "Консультации: " followed by the specialist of
// every body system 1-10 among the unique pathology lines, in code order,
// each once, each phrase ending in ", ".
#include <QString>
#include <QStringList>

inline const QString kConsultLead = QStringLiteral("Консультации: ");

// The specialist phrase of body-system code 1..10 (genitive, ", " at the
// end); empty for any other code.
QString SpecialistPhrase(int code);

// Rebuilds ConsultLines and ConsultCount from the first UniquePathologyCount
// elements of UniquePathologyLines; afterwards element 0 holds the whole
// sentence. Every line is converted for every code, so a line whose
// characters 6-7 are not an integer stops the rebuilding wherever it stands:
// the function then returns false, ConsultLines holds the lead and the
// specialists found before it (not yet joined), and error, when given, the
// conversion error "'xx' is not a valid integer value".
bool BuildConsultations(QString *error = nullptr);
