#include "rtf/rtfcommon.h"

#include <QTextDocument>

#include <cmath>

namespace rtf {

int toTwips(qreal units, double unitsPerInch)
{
    const double t = std::round(units * twipsPerUnit(unitsPerInch));
    return int(qBound(-1.0e7, t, 1.0e7));
}

qreal fromTwips(qint64 twips, double unitsPerInch)
{
    // Sizes beyond a few metres are nonsense in a paragraph; they are cut
    // so that the layout never sees them.
    const qint64 bounded = qBound(qint64(-1000000), twips, qint64(1000000));
    return qreal(bounded) / twipsPerUnit(unitsPerInch);
}

qreal bulletHang(const QTextDocument &doc)
{
    return doc.indentWidth();
}

} // namespace rtf
