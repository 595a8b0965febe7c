#include "photos/photoview.h"

#include "photos/overlay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGrip = 7.0;      // widget pixels around a handle that catch the mouse
constexpr double kKnobOut = 16.0;  // the turn knob's distance outside the limbus, widget pixels
constexpr int kOverlaySide = 720;  // the overlay is drawn at most this many pixels wide
constexpr double kMaxTurn = 45.0;

} // namespace

PhotoView::PhotoView(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(160, 140);
    setCursor(Qt::CrossCursor);
}

void PhotoView::setPhoto(const QImage &photo, const photos::iris::Fit &fit, const QString &text)
{
    m_photo = photo;
    m_text = text;
    m_preview = QImage();
    if (!photo.isNull() && std::max(photo.width(), photo.height()) > 1600)
        m_preview = photo.scaled(1600, 1600, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    m_fit = fit;
    m_mark.reset();
    dropOverlay();
    fitToWindow();
}

void PhotoView::setMark(std::optional<QPointF> photoPoint)
{
    m_mark = photoPoint;
    update();
}

void PhotoView::setFit(const photos::iris::Fit &fit)
{
    m_fit = fit;
    dropOverlay();
    update();
}

void PhotoView::setChart(state::chartgeom::Chart chart, bool rightEye, bool shown)
{
    if (chart == m_chart && rightEye == m_right && shown == m_overlayShown)
        return;
    m_chart = chart;
    m_right = rightEye;
    m_overlayShown = shown;
    dropOverlay();
    update();
}

void PhotoView::fitToWindow()
{
    m_fitMode = true;
    if (m_photo.isNull())
        return update();
    m_scale = std::min(width() / double(m_photo.width()), height() / double(m_photo.height()));
    m_origin = QPointF((m_photo.width() - width() / m_scale) / 2, (m_photo.height() - height() / m_scale) / 2);
    update();
    emit framed();
}

void PhotoView::actualSize()
{
    m_fitMode = false;
    const QPointF centre = toPhoto(QPointF(width() / 2.0, height() / 2.0));
    m_scale = 1;
    m_origin = centre - QPointF(width() / 2.0, height() / 2.0);
    clampOrigin();
    update();
    emit framed();
}

void PhotoView::zoomBy(double factor)
{
    zoomAround(factor, QPointF(width() / 2.0, height() / 2.0));
}

void PhotoView::zoomAround(double factor, QPointF at)
{
    if (m_photo.isNull())
        return;
    const QPointF fixed = toPhoto(at);
    m_scale = std::clamp(m_scale * factor, 0.02, 16.0);
    m_fitMode = false;
    m_origin = fixed - at / m_scale;
    clampOrigin();
    update();
    emit framed();
}

std::optional<PhotoView::Framing> PhotoView::framing() const
{
    if (m_photo.isNull() || !photos::iris::usable(m_fit))
        return std::nullopt;
    const photos::iris::Circle &l = m_fit.limbus;
    const QPointF centre = toPhoto(QPointF(width() / 2.0, height() / 2.0));
    return Framing{(centre - QPointF(l.x, l.y)) / l.r, m_scale * l.r};
}

void PhotoView::setFraming(const Framing &framing)
{
    if (m_photo.isNull() || !photos::iris::usable(m_fit) || framing.pixelsPerRadius <= 0)
        return;
    const photos::iris::Circle &l = m_fit.limbus;
    m_fitMode = false;
    m_scale = std::clamp(framing.pixelsPerRadius / l.r, 0.02, 16.0);
    m_origin = QPointF(l.x, l.y) + framing.centre * l.r - QPointF(width() / 2.0, height() / 2.0) / m_scale;
    clampOrigin();
    update();
}

void PhotoView::clampOrigin()
{
    // Some of the photo always stays in view.
    const double w = width() / m_scale, h = height() / m_scale;
    m_origin.setX(std::clamp(m_origin.x(), -w + 20 / m_scale, m_photo.width() - 20 / m_scale));
    m_origin.setY(std::clamp(m_origin.y(), -h + 20 / m_scale, m_photo.height() - 20 / m_scale));
}

QPointF PhotoView::toPhoto(QPointF w) const
{
    return m_origin + w / m_scale;
}

QPointF PhotoView::toWidget(QPointF p) const
{
    return (p - m_origin) * m_scale;
}

QPointF PhotoView::turnKnob() const
{
    const QPointF u = state::chartgeom::directionOf(m_fit.turn);
    const QPointF c(m_fit.limbus.x, m_fit.limbus.y);
    return toWidget(c) + u * (m_fit.limbus.r * m_scale + kKnobOut);
}

PhotoView::Grip PhotoView::gripAt(QPointF w) const
{
    if (m_photo.isNull())
        return Grip::None;
    const auto near = [&](QPointF a) { return std::hypot(a.x() - w.x(), a.y() - w.y()) <= kGrip; };
    const auto onRim = [&](const photos::iris::Circle &c) {
        return std::abs(std::hypot(toWidget(QPointF(c.x, c.y)).x() - w.x(), toWidget(QPointF(c.x, c.y)).y() - w.y()) -
                        c.r * m_scale) <= kGrip * 0.8;
    };
    if (near(turnKnob()))
        return Grip::Turn;
    if (near(toWidget(QPointF(m_fit.pupil.x, m_fit.pupil.y))))
        return Grip::PupilCentre;
    if (near(toWidget(QPointF(m_fit.limbus.x, m_fit.limbus.y))))
        return Grip::LimbusCentre;
    if (onRim(m_fit.pupil))
        return Grip::PupilRim;
    if (onRim(m_fit.limbus))
        return Grip::LimbusRim;
    return Grip::None;
}

void PhotoView::setOutline(int colour)
{
    if (colour == m_outlineColour)
        return;
    m_outlineColour = colour;
    m_outline = QImage();
    update();
}

void PhotoView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(40, 40, 44));
    if (m_photo.isNull()) {
        p.setPen(QColor(220, 220, 220));
        p.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, m_text);
        return;
    }
    // The photo, or its smaller copy when a screen pixel covers several.
    const QRectF visible = QRectF(toPhoto(QPointF(0, 0)), toPhoto(QPointF(width(), height()))).intersected(m_photo.rect());
    if (!visible.isEmpty()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, m_scale < 2);
        const QRectF target(toWidget(visible.topLeft()), toWidget(visible.bottomRight()));
        if (!m_preview.isNull() && m_scale * m_photo.width() < m_preview.width()) {
            const double k = double(m_preview.width()) / m_photo.width();
            p.drawImage(target, m_preview, QRectF(visible.topLeft() * k, visible.size() * k));
        } else {
            p.drawImage(target, m_photo, visible);
        }
    }
    if (m_overlayShown && photos::iris::usable(m_fit)) {
        const photos::iris::Circle &l = m_fit.limbus;
        const QRectF area(l.x - l.r, l.y - l.r, 2 * l.r, 2 * l.r);
        // Drawn at about the size it shows at, at most kOverlaySide.
        const int side = std::clamp(int(2 * l.r * m_scale), 16, kOverlaySide);
        if (m_overlay.isNull() || m_overlayArea != area || side > m_overlay.width() * 5 / 4 ||
            side < m_overlay.width() / 2) {
            m_overlay = photos::chartOverlay(m_fit, m_chart, m_right, area, QSize(side, side));
            m_overlayArea = area;
            m_outline = QImage();
        }
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(toWidget(area.topLeft()), toWidget(area.bottomRight())), m_overlay);
        if (m_outlineColour >= 0) {
            if (m_outline.isNull())
                m_outline = photos::zoneOutline(m_fit, m_chart, m_right, area, m_overlay.size(), m_outlineColour,
                                                qRgb(255, 0, 255));
            p.drawImage(QRectF(toWidget(area.topLeft()), toWidget(area.bottomRight())), m_outline);
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    const auto circle = [&](const photos::iris::Circle &c, const QColor &colour) {
        const QPointF centre = toWidget(QPointF(c.x, c.y));
        p.setPen(QPen(colour, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, c.r * m_scale, c.r * m_scale);
        p.drawLine(centre - QPointF(5, 0), centre + QPointF(5, 0));
        p.drawLine(centre - QPointF(0, 5), centre + QPointF(0, 5));
    };
    circle(m_fit.limbus, QColor(255, 220, 40));
    circle(m_fit.pupil, QColor(60, 200, 255));
    // 12:00 of the chart, and the knob that turns it.
    const QPointF knob = turnKnob();
    const QPointF u = state::chartgeom::directionOf(m_fit.turn);
    p.setPen(QPen(QColor(255, 220, 40), 1, Qt::DashLine));
    p.drawLine(knob - u * (kKnobOut - 2), knob - u * (kKnobOut + 10));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 220, 40));
    p.drawEllipse(knob, 5, 5);
    if (m_mark) {
        // The point clicked: a red ring with a cross, sharp at its centre.
        const QPointF at = toWidget(*m_mark);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 40, 40), 2));
        p.drawEllipse(at, 7, 7);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QPoint c = at.toPoint();
        p.setPen(QPen(QColor(255, 40, 40), 1));
        p.drawLine(c - QPoint(4, 0), c + QPoint(4, 0));
        p.drawLine(c - QPoint(0, 4), c + QPoint(0, 4));
        p.setRenderHint(QPainter::Antialiasing);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().highlight().color(), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void PhotoView::resizeEvent(QResizeEvent *e)
{
    if (m_fitMode) {
        fitToWindow();
    } else if (!m_photo.isNull() && e->oldSize().isValid()) {
        // Zoomed or moved: the point in the middle stays in the middle.
        m_origin += QPointF(e->oldSize().width() - width(), e->oldSize().height() - height()) / (2 * m_scale);
        clampOrigin();
    }
}

void PhotoView::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_grip = gripAt(e->position());
    m_pressAt = m_lastAt = e->position();
    m_dragged = false;
}

void PhotoView::mouseMoveEvent(QMouseEvent *e)
{
    const QPointF at = e->position();
    if (!(e->buttons() & Qt::LeftButton)) {
        if (!m_photo.isNull())
            emit hovered(toPhoto(at));
        const Grip g = gripAt(at);
        setCursor(g == Grip::None ? Qt::CrossCursor
                  : g == Grip::PupilRim || g == Grip::LimbusRim ? Qt::SizeFDiagCursor
                  : g == Grip::Turn ? Qt::SizeHorCursor
                                    : Qt::SizeAllCursor);
        return;
    }
    if (!m_dragged && std::hypot(at.x() - m_pressAt.x(), at.y() - m_pressAt.y()) < 4)
        return;
    m_dragged = true;
    const QPointF delta = (at - m_lastAt) / m_scale;
    m_lastAt = at;
    if (m_grip == Grip::None) {
        m_origin -= delta;
        m_fitMode = false;
        clampOrigin();
        update();
        emit framed();
        return;
    }
    photos::iris::Fit f = m_fit;
    const QPointF p = toPhoto(at);
    switch (m_grip) {
    case Grip::PupilCentre:
        f.pupil.x += delta.x();
        f.pupil.y += delta.y();
        break;
    case Grip::LimbusCentre:
        f.limbus.x += delta.x();
        f.limbus.y += delta.y();
        break;
    case Grip::PupilRim:
        f.pupil.r = std::hypot(p.x() - f.pupil.x, p.y() - f.pupil.y);
        break;
    case Grip::LimbusRim:
        f.limbus.r = std::hypot(p.x() - f.limbus.x, p.y() - f.limbus.y);
        break;
    case Grip::Turn: {
        double turn = state::chartgeom::clockOf(p.x() - f.limbus.x, p.y() - f.limbus.y);
        if (turn > 180)
            turn -= 360;
        f.turn = std::clamp(std::round(turn * 2) / 2, -kMaxTurn, kMaxTurn);
        break;
    }
    case Grip::None:
        break;
    }
    if (photos::iris::usable(f)) {
        setFit(f);
        emit fitEdited(f);
    }
}

void PhotoView::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (!m_dragged && !m_photo.isNull() && m_grip == Grip::None)
        emit clicked(toPhoto(e->position()));
    m_grip = Grip::None;
    m_dragged = false;
}

void PhotoView::wheelEvent(QWheelEvent *e)
{
    zoomAround(e->angleDelta().y() > 0 ? 1.25 : 0.8, e->position());
}

void PhotoView::keyPressEvent(QKeyEvent *e)
{
    const double step = 40 / m_scale;
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(1.25);
        break;
    case Qt::Key_Minus:
        zoomBy(0.8);
        break;
    case Qt::Key_0:
        fitToWindow();
        break;
    case Qt::Key_1:
        actualSize();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_origin += QPointF(e->key() == Qt::Key_Left ? -step : e->key() == Qt::Key_Right ? step : 0,
                            e->key() == Qt::Key_Up ? -step : e->key() == Qt::Key_Down ? step : 0);
        m_fitMode = false;
        clampOrigin();
        update();
        emit framed();
        break;
    default:
        QWidget::keyPressEvent(e);
    }
}
