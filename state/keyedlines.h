#pragma once
// The chart and diagram text files: one line per zone or variant, its first
// eight characters the colour number that keys it, the rest its data. The
// files are read afresh on every click; nothing is cached.
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <optional>

namespace state::keyed {

// Width of the key field.
constexpr int kKeyWidth = 8;

// The key of a line: its first eight characters (fewer if the line is
// shorter) read as one whole integer; leading blanks and a sign are allowed,
// nothing may follow the digits within the field.
std::optional<int> lineKey(const QString &line);

// Every line of a file with the given key, each without its key field, in
// file order. ok is false when the file cannot be read or a line has no
// readable key; the lines matched before that line are kept.
struct Matches {
    bool ok = false;
    QStringList data;
};
Matches matching(const QString &shownPath, int key);

// A pixel's colour as R + 256 G + 65536 B: the key of what was clicked.
int colourNumber(const QImage &picture, QPoint at);

} // namespace state::keyed
