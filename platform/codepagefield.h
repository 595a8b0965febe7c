#pragma once
// Text fields whose content is written to Windows-1251 files take only the
// characters the code page can hold. Typing or pasting another one is
// refused at once, and a tooltip at the field says which character and why.
#include <QString>

class QLineEdit;

namespace platform::ui {

// Installs the check on a field.
void keepToCodePage(QLineEdit *edit);

// The explanation shown when text is refused: it names the characters the
// code page cannot hold, in the order they occur. Empty if there are none.
QString codePageNotice(const QString &text);

} // namespace platform::ui
