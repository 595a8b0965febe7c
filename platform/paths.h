#pragma once
// Data file names are written the way the user sees them in messages,
// ".\SystmTxt\Patology.txt", and opened relative to the working directory.
#include <QString>

namespace platform::paths {

// ".\SystmTxt\Patology.txt" -> "./SystmTxt/Patology.txt" (platform separators,
// relative to the working directory). Names without backslashes pass unchanged.
QString local(const QString &shownPath);

inline const QString kPathology = QStringLiteral(".\\SystmTxt\\Patology.txt");
inline const QString kHelpFile = QStringLiteral(".\\Nirel3hlp\\NIREL3HELP.HLP");
inline const QString kCaption = QStringLiteral("Caption.txt");
inline const QString kSignature = QStringLiteral("Signature.txt");

// "File " + shown path + " is absent": the one message for an unreadable text file.
QString absentMessage(const QString &shownPath);

} // namespace platform::paths
