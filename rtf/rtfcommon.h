#pragma once
// What the reader and the writer agree on: units and the bullet layout.
#include <QtGlobal>

class QTextDocument;

namespace rtf {

// Paragraph indents in a QTextDocument are layout units: pixels of the
// screen the text is shown on. unitsPerInch is that screen's logical
// resolution (96 on most desktops); RTF counts in twips, 1440 per inch.
inline double twipsPerUnit(double unitsPerInch) { return 1440.0 / unitsPerInch; }
int toTwips(qreal units, double unitsPerInch);
qreal fromTwips(qint64 twips, double unitsPerInch);

// A bulleted paragraph hangs its bullet in the list's indent; in RTF the
// same space is a negative first-line indent, as WordPad and Word write it.
qreal bulletHang(const QTextDocument &doc);

} // namespace rtf
