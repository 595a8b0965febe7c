#pragma once
// Pictures made from a fitted photo: the chart's zones laid over the iris,
// ring by ring, and the iris cropped for the conclusion, with or without
// the chart, ready to go into a rich-text document that prints and exports
// to PDF with its text.
#include "photos/irismap.h"
#include "state/chartgeometry.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

class QTextCursor;

namespace photos {

constexpr int kOverlayAlpha = 110;

// An image of `size` pixels showing the photo rectangle `area`: the chart's
// zone colours over the iris (for the pupillary belt, over its rings only),
// half transparent, the zones' borders darker; transparent elsewhere.
QImage chartOverlay(const iris::Fit &fit, state::chartgeom::Chart chart, bool rightEye, const QRectF &area, QSize size,
                    int alpha = kOverlayAlpha);

// One zone of the chart laid over the iris, outlined: an image like
// chartOverlay's, transparent but for the `line` colour along the edge of
// the zone of colour number `colour`, two pixels wide.
QImage zoneOutline(const iris::Fit &fit, state::chartgeom::Chart chart, bool rightEye, const QRectF &area, QSize size,
                   int colour, QRgb line);

// The iris cropped from the photo with a margin, `width` pixels wide, the
// chart over it when one is given.
QImage irisPicture(const QImage &photo, const iris::Fit &fit, std::optional<state::chartgeom::Chart> chart, bool rightEye,
                   int width = 480);

struct Picture {
    QImage image;
    QString caption;
};
// Inserts the pictures side by side at the cursor, each `widthPt` points
// wide with its caption below, in a table without borders; the images go
// into the document's resources.
void insertPictures(QTextCursor &cursor, const QList<Picture> &pictures, double widthPt = 220);

} // namespace photos
