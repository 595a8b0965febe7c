#pragma once
// The pupil and border diagrams without the window: which pathology codes a
// variant gives, per eye, and whether it is usually seen in the other eye.
#include <QList>
#include <QString>

#include <optional>

namespace charts::pupil {

inline const QString kDecentration = QStringLiteral(".\\SystmTxt\\Decentr.txt");
inline const QString kFlatOne = QStringLiteral(".\\SystmTxt\\FlatRorL.txt");
inline const QString kFlatBoth = QStringLiteral(".\\SystmTxt\\FlatBoth.txt");
inline const QString kBorder = QStringLiteral(".\\SystmTxt\\Border.txt");

inline const QString kUsuallyLeft = QStringLiteral("Данный признак обычно наблюдают для левого глаза");
inline const QString kUsuallyRight = QStringLiteral("Данный признак обычно наблюдают для правого глаза");

// The codes of a variant for the selected eye, and the message to show after
// them (empty for none).
struct Codes {
    QList<int> codes;
    QString message;
};

// The code table of the diagram whose name file is given, applied to a
// colour number; nothing for a colour without a row (or an unknown file).
std::optional<Codes> variantCodes(const QString &nameFile, int colourKey, bool rightEye);

} // namespace charts::pupil
