#pragma once
// Saving the draft conclusion (or the header or signature being edited) as
// a Windows-1251 text file with CR LF line ends.
#include <QString>
#include <QStringList>

namespace conclusion {

// The file name the save dialog proposes for ConclMode: 0 the patient's
// surname, 1 "Caption.txt", 2 "Signature.txt".
QString proposedName(int mode, const QString &surname);

// The save dialog's filter and default extension.
inline const QString kSaveFilter = QStringLiteral("текстовый файл|*.txt");
inline const QString kSaveSuffix = QStringLiteral("txt");

} // namespace conclusion
