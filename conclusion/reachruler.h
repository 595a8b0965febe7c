#pragma once
// The ruler of the final editor as arithmetic: where the three markers
// stand for a paragraph's indents, and which indents a dropped marker sets.
//
// Indents are whole points, as the editor reports them: the first-line
// indent F from the text's left edge, the left indent L of the other lines
// counted from the first line, the right indent R from the right edge. The
// ruler converts with k = dpi / 72 (4/3 on a 96 dpi screen), truncating
// toward zero both ways; the text keeps a gutter of 6 pixels each side.
#include <QTextBlockFormat>

namespace conclusion::reachruler {

constexpr int kGutter = 6;

struct Indents {
    int first = 0;
    int left = 0;
    int right = 0;
    bool operator==(const Indents &) const = default;
};

// Points to pixels and back, truncated toward zero.
int toPixels(double points, double dpi);
int toPoints(double pixels, double dpi);

// Marker places (left edge within the ruler).
int firstMarkerLeft(const Indents &in, double dpi);
int leftMarkerLeft(const Indents &in, double dpi);
int rightMarkerLeft(const Indents &in, int rulerWidth, double dpi);

// Indents from a dropped marker; dragOffset is half the marker's width.
int firstIndentAt(int markerLeft, int dragOffset, double dpi);
int leftIndentAt(int markerLeft, int dragOffset, int firstIndent, double dpi);
int rightIndentAt(int markerLeft, int dragOffset, int rulerWidth, double dpi);

// A paragraph's indents in points, and back, for a text laid out in pixels
// of a screen of dpi dots an inch. The first line starts at the left margin
// plus the text indent; the other lines at the left margin.
Indents fromFormat(const QTextBlockFormat &f, double dpi);
void toFormat(const Indents &in, QTextBlockFormat &f, double dpi);

} // namespace conclusion::reachruler
