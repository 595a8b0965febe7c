#include "photos/overlay.h"

#include "charts/pictures.h"

#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <vector>

namespace photos {

QImage chartOverlay(const iris::Fit &fit, state::chartgeom::Chart chart, bool rightEye, const QRectF &area, QSize size,
                    int alpha)
{
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    if (size.isEmpty() || area.isEmpty() || !iris::usable(fit))
        return out;
    const QImage picture = charts::picture(state::chartgeom::pictureName(chart, rightEye)).convertToFormat(QImage::Format_RGB32);
    const double outer = state::chartgeom::kIrisRings[state::chartgeom::geometry(chart).rings.size() - 1];
    const double sx = area.width() / size.width(), sy = area.height() / size.height();
    const auto premultiplied = [](QRgb c, int a) {
        return qRgba(qRed(c) * a / 255, qGreen(c) * a / 255, qBlue(c) * a / 255, a);
    };
    const int lineAlpha = std::min(255, alpha + 70);
    for (int j = 0; j < size.height(); ++j) {
        QRgb *row = reinterpret_cast<QRgb *>(out.scanLine(j));
        const double y = area.top() + (j + 0.5) * sy;
        for (int i = 0; i < size.width(); ++i) {
            const QPointF p(area.left() + (i + 0.5) * sx, y);
            const state::chartgeom::IrisPlace place = iris::placeOf(fit, p);
            if (place.t < 0 || place.t > outer)
                continue;
            const QPoint px = state::chartgeom::pixelOf(state::chartgeom::chartPoint(chart, place));
            const QRgb c = reinterpret_cast<const QRgb *>(picture.constScanLine(px.y()))[px.x()] | 0xff000000u;
            if (c == 0xffffffffu)
                continue;
            row[i] = c == 0xff000000u ? premultiplied(c, lineAlpha) : premultiplied(c, alpha);
        }
    }
    return out;
}

QImage zoneOutline(const iris::Fit &fit, state::chartgeom::Chart chart, bool rightEye, const QRectF &area, QSize size,
                   int colour, QRgb line)
{
    QImage out(size, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    if (size.isEmpty() || area.isEmpty() || !iris::usable(fit) || colour < 0)
        return out;
    const QImage picture = charts::picture(state::chartgeom::pictureName(chart, rightEye)).convertToFormat(QImage::Format_RGB32);
    const double outer = state::chartgeom::kIrisRings[state::chartgeom::geometry(chart).rings.size() - 1];
    const double sx = area.width() / size.width(), sy = area.height() / size.height();
    const QRgb wanted = 0xff000000u | qRgb(colour & 255, (colour >> 8) & 255, (colour >> 16) & 255);
    const int w = size.width(), h = size.height();
    std::vector<char> inside(std::size_t(w) * std::size_t(h), 0);
    for (int j = 0; j < h; ++j) {
        const double y = area.top() + (j + 0.5) * sy;
        for (int i = 0; i < w; ++i) {
            const state::chartgeom::IrisPlace place = iris::placeOf(fit, QPointF(area.left() + (i + 0.5) * sx, y));
            if (place.t < 0 || place.t > outer)
                continue;
            const QPoint px = state::chartgeom::pixelOf(state::chartgeom::chartPoint(chart, place));
            inside[std::size_t(j) * std::size_t(w) + std::size_t(i)] =
                (reinterpret_cast<const QRgb *>(picture.constScanLine(px.y()))[px.x()] | 0xff000000u) == wanted;
        }
    }
    const auto in = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < w && j < h && inside[std::size_t(j) * std::size_t(w) + std::size_t(i)];
    };
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (in(i, j) && (!in(i - 2, j) || !in(i + 2, j) || !in(i, j - 2) || !in(i, j + 2) || !in(i - 1, j - 1) ||
                             !in(i + 1, j + 1) || !in(i - 1, j + 1) || !in(i + 1, j - 1)))
                out.setPixel(i, j, line);
    return out;
}

QImage irisPicture(const QImage &photo, const iris::Fit &fit, std::optional<state::chartgeom::Chart> chart, bool rightEye,
                   int width)
{
    const iris::Circle &l = fit.limbus;
    const double half = 1.15 * l.r;
    const QRectF crop = QRectF(l.x - half, l.y - half, 2 * half, 2 * half).intersected(QRectF(photo.rect()));
    if (crop.isEmpty())
        return {};
    const QSize size(width, std::max(1, int(std::lround(width * crop.height() / crop.width()))));
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(size)), photo, crop);
    if (chart)
        p.drawImage(QPointF(0, 0), chartOverlay(fit, *chart, rightEye, crop, size));
    p.end();
    return out;
}

void insertPictures(QTextCursor &cursor, const QList<Picture> &pictures, double widthPt)
{
    if (pictures.isEmpty())
        return;
    QTextDocument *doc = cursor.document();
    QTextTableFormat table;
    table.setBorder(0);
    table.setCellPadding(4);
    table.setCellSpacing(0);
    QTextTable *t = cursor.insertTable(2, int(pictures.size()), table);
    static int serial = 0;
    for (int c = 0; c < pictures.size(); ++c) {
        const Picture &pic = pictures.at(c);
        const QString name = QStringLiteral("nirel3-photo-%1.png").arg(++serial);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), pic.image);
        QTextImageFormat image;
        image.setName(name);
        image.setWidth(widthPt);
        image.setHeight(widthPt * pic.image.height() / std::max(1, pic.image.width()));
        QTextCursor cell = t->cellAt(0, c).firstCursorPosition();
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cell.setBlockFormat(centred);
        cell.insertImage(image);
        QTextCursor caption = t->cellAt(1, c).firstCursorPosition();
        caption.setBlockFormat(centred);
        caption.insertText(pic.caption);
    }
    cursor = t->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

} // namespace photos
