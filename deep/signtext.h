#pragma once
// Sign texts. Each sign of the catalogue builds its text from the captions of
// its menu path by a small rule, written the way the catalogue writes it:
//   c0 + ": " + l1 + " " + l2
// cN is the caption at level N of the path (level 0 is the menu bar entry,
// the sign itself the deepest level), lN the same caption lower-cased,
// a quoted piece stands for itself, and "+" joins with nothing in between.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace deep::signtext {

struct Piece {
    enum Kind { Caption, Lower, Literal };
    Kind kind = Literal;
    int level = 0;  // Caption and Lower
    QString text;   // Literal
};

// The pieces of a rule, or nothing when the rule is not well formed.
std::optional<QList<Piece>> parseRule(const QString &rule);

// The sign text for the captions of a path. A level beyond the path adds
// nothing; a rule that does not parse gives an empty text.
QString build(const QString &rule, const QStringList &path);

// Lower case as Windows-1251 knows it: its capitals (Latin A-Z and the
// Cyrillic capitals of the code page) become small letters, every other
// character stays as it is.
QString lowerCp1251(const QString &text);

} // namespace deep::signtext
