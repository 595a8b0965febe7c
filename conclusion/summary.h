#pragma once
// The summary "Итог": the whole conclusion assembled from the header file,
// the patient line, the express result, the signs per eye, the findings, the
// consultations and the signature file.
#include "state/consultations.h"

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

// What the summary takes from the examination.
struct Examined {
    QStringList expressLines;  // ExpressLines
    QStringList rightEyeSigns; // RightEyeSigns
    QStringList leftEyeSigns;  // LeftEyeSigns
    // While DeepPassCount is above 0: FindingLines, and the consultations as
    // rebuilt for the summary.
    struct Deep {
        QStringList findingLines;
        Consultations consultations;
    };
    std::optional<Deep> deep;
};

// Reads "Caption.txt" and "Signature.txt" from the working directory and
// builds the conclusion around what was examined. A missing header or
// signature gives its "File ... is absent" notice and the assembly goes on;
// consultations that could not be built (a body-system code that is not an
// integer) give the conversion error and the assembly stops.
Summary assembleSummary(const Examined &exam, const std::optional<CardFields> &card);

} // namespace conclusion
