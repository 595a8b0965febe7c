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
    const qint64 bounded = qBound(qint64(-kMaxTwips), twips, qint64(kMaxTwips));
    return qreal(bounded) / twipsPerUnit(unitsPerInch);
}

qreal bulletHang(const QTextDocument &doc)
{
    return doc.indentWidth();
}

qsizetype nextCut(QStringView text, qsizetype from, qsizetype limit)
{
    limit = qMax<qsizetype>(1, limit);
    const qsizetype near = limit / 10;
    qsizetype blankEnd = from; // just after the last blank of the piece
    const qsizetype n = text.size();
    for (qsizetype i = from; i < n; ++i) {
        if (i - from == limit)
            return blankEnd > from && blankEnd >= i - near ? blankEnd : i;
        if (i - blankEnd == kLongWord)
            return i;
        if (isBlank(text[i]))
            blankEnd = i + 1;
    }
    return -1;
}

QList<qsizetype> paragraphCuts(QStringView text, qsizetype limit)
{
    QList<qsizetype> cuts;
    for (qsizetype at = nextCut(text, 0, limit); at >= 0; at = nextCut(text, at, limit))
        cuts << at;
    return cuts;
}

} // namespace rtf
