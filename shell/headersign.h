#pragma once
// "Шапка заключения" and "Подпись иридолога": the header or the signature
// file is loaded into the draft conclusion window to be edited and saved.
#include <QString>

namespace shell {

// Sets ConclMode to mode, opens the draft window and loads the file's lines
// into its text box; an unreadable file shows "File <name> is absent".
void loadIntoDraft(int mode, const QString &fileName);

void CaptureItemClick(); // mode 1, "Caption.txt"
void SignatItemClick();  // mode 2, "Signature.txt"

} // namespace shell
