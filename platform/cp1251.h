#pragma once
// Windows-1251 conversion at the file boundary. In memory every text is a
// QString; on disk every text file of the program is Windows-1251.
#include <QByteArray>
#include <QString>

namespace cp1251 {

// Decodes Windows-1251 bytes. Every byte 0x00-0xFF has a character.
QString decode(const QByteArray &bytes);

// Encodes to Windows-1251. A character the code page cannot hold becomes
// one "?" so that the rest of the line is kept: a surrogate pair is one
// character, and half a pair alone is one character too. lossy, if given,
// tells whether that happened.
QByteArray encode(const QString &text, bool *lossy = nullptr);

// True when every character of text can be written in Windows-1251.
bool canEncode(const QString &text);

} // namespace cp1251
