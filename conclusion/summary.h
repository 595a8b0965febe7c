#pragma once
// The summary "Итог": the whole conclusion assembled from the header file,
// the patient line, the express result, the signs per eye, the findings, the
// consultations and the signature file.
#include <QString>
#include <QStringList>

#include <optional>

namespace conclusion {

// What the patient line is made of when the card window exists.
struct CardFields {
    QString surname;    // FNameEdit
    QString firstName;  // LNameEdit
    QString patronymic; // MNameEdit
    QString dateLabel;  // caption of lbDate, "Дата:"
    QString date;       // EditDate
};

// A message to show once the first lineCount lines are in the text box.
struct Notice {
    qsizetype lineCount = 0;
    QString text;
    bool error = false; // an unguarded failure: the assembly stopped here
};

struct Summary {
    QStringList lines;
    QList<Notice> notices;
};

// "Ф.И.О." + 61 blanks + "Дата:" without a card window; otherwise first name,
// patronymic, surname, 44 blanks, the date label, a blank and the date.
QString patientLine(const std::optional<CardFields> &card);

// Sets ConclMode to 0, reads "Caption.txt" and "Signature.txt" from the
// working directory and builds the conclusion from the examination state;
// rebuilds the consultations. A missing header or signature gives its
// "File ... is absent" notice and the assembly goes on; a body-system code
// that is not an integer gives the conversion error and the assembly stops.
Summary assembleSummary(const std::optional<CardFields> &card);

} // namespace conclusion
