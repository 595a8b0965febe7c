#pragma once
// The caret's place counted in displayed lines: a long line that the box
// wraps counts as several lines, as the saved file and the phrase insertion
// of the reference guides see them.
class QPlainTextEdit;

namespace conclusion {

struct CaretPlace {
    int line = 0;   // index of the displayed line, from 0
    int column = 0; // characters before the caret in that displayed line
};

CaretPlace displayedCaret(const QPlainTextEdit *box);

} // namespace conclusion
