#include "conclusion/reachruler.h"

#include <cmath>

namespace conclusion::reachruler {

int toPixels(double points, double dpi)
{
    return int(std::trunc(points * dpi / 72.0));
}

int toPoints(double pixels, double dpi)
{
    return int(std::trunc(pixels * 72.0 / dpi));
}

int firstMarkerLeft(const Indents &in, double dpi)
{
    return toPixels(in.first, dpi) - 4 + kGutter;
}

int leftMarkerLeft(const Indents &in, double dpi)
{
    return toPixels(in.left + in.first, dpi) - 4 + kGutter;
}

int rightMarkerLeft(const Indents &in, int rulerWidth, double dpi)
{
    return (rulerWidth - kGutter) - toPixels(in.right + kGutter, dpi);
}

int firstIndentAt(int markerLeft, int dragOffset, double dpi)
{
    return toPoints(markerLeft + dragOffset - kGutter, dpi);
}

int leftIndentAt(int markerLeft, int dragOffset, int firstIndent, double dpi)
{
    return toPoints(markerLeft + dragOffset - kGutter, dpi) - firstIndent;
}

int rightIndentAt(int markerLeft, int dragOffset, int rulerWidth, double dpi)
{
    return toPoints(rulerWidth - markerLeft + dragOffset - 2, dpi) - 12;
}

Indents fromFormat(const QTextBlockFormat &f, double dpi)
{
    const auto points = [dpi](qreal pixels) { return int(std::lround(pixels * 72.0 / dpi)); };
    Indents in;
    in.first = points(f.leftMargin() + f.textIndent());
    in.left = points(f.leftMargin()) - in.first;
    in.right = points(f.rightMargin());
    return in;
}

void toFormat(const Indents &in, QTextBlockFormat &f, double dpi)
{
    // Neither line starts left of the text's edge, nor ends right of it.
    const auto pixels = [dpi](int points) { return qreal(qMax(0, points)) * dpi / 72.0; };
    f.setLeftMargin(pixels(in.left + in.first));
    f.setTextIndent(pixels(in.first) - pixels(in.left + in.first));
    f.setRightMargin(pixels(in.right));
}

} // namespace conclusion::reachruler
