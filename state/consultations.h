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

// ConsultLines as rebuilt from the unique pathology lines.
struct Consultations {
    // Element 0 holds the whole sentence once built; before that (when the
    // rebuilding failed) the lead and the specialists found, not joined.
    QStringList lines;
    bool ok = true;
    // The conversion error "'xx' is not a valid integer value" when not ok.
    QString error;
};

// Every line is converted for every code, so a line whose characters 6-7
// are not an integer stops the rebuilding wherever it stands: the
// specialists found before it are kept and the result is not ok.
Consultations BuildConsultations(const QStringList &uniqueLines);
