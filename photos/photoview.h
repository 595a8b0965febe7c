#pragma once
// One eye's photo on screen: fitted to the widget or 1:1, zoomed with the
// wheel or the keys + and -, moved by dragging. The pupil (blue) and the
// limbus (yellow) are drawn as circles: drag a circle's centre to move it,
// its rim to resize it, and the knob above the limbus to turn the chart for
// the tilt of the head. The chart's zones may be laid over the iris. A click
// that drags nothing reports the photo point clicked; the window marks it.
#include "photos/irismap.h"
#include "state/chartgeometry.h"

#include <QImage>
#include <QWidget>

#include <optional>

class PhotoView : public QWidget {
    Q_OBJECT
public:
    explicit PhotoView(QWidget *parent = nullptr);

    // A null photo shows the text instead.
    void setPhoto(const QImage &photo, const photos::iris::Fit &fit, const QString &text = {});
    const QImage &photo() const { return m_photo; }
    void setFit(const photos::iris::Fit &fit);
    const photos::iris::Fit &fit() const { return m_fit; }
    void setChart(state::chartgeom::Chart chart, bool rightEye, bool shown);
    // Outlines one zone of the chart (its colour number), -1 for none.
    void setOutline(int colour);
    int outline() const { return m_outlineColour; }
    // The point last clicked, marked on the photo (a new photo drops it).
    void setMark(std::optional<QPointF> photoPoint);
    std::optional<QPointF> mark() const { return m_mark; }

    void fitToWindow();
    void actualSize();
    void zoomBy(double factor);
    double zoom() const { return m_scale; }
    bool fitsWindow() const { return m_fitMode; }

    // Where the view looks, in the iris's own measure: the photo point at
    // the widget's centre as an offset from the limbus's centre in limbus
    // radii, and the screen pixels per limbus radius. Two photos of one eye
    // framed alike show the same part of the iris at the same size, however
    // differently they were taken. None without a photo and its circles.
    struct Framing {
        QPointF centre;
        double pixelsPerRadius = 0;
    };
    std::optional<Framing> framing() const;
    // Frames the photo so (without saying so by framed()).
    void setFraming(const Framing &framing);

    QPointF toPhoto(QPointF widgetPoint) const;
    QPointF toWidget(QPointF photoPoint) const;

    QSize sizeHint() const override { return {420, 360}; }

signals:
    void fitEdited(const photos::iris::Fit &fit);
    void clicked(QPointF photoPoint);
    // The mouse moved over the photo with no button down.
    void hovered(QPointF photoPoint);
    // The photo was zoomed, moved or fitted to the window.
    void framed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Grip { None, PupilCentre, PupilRim, LimbusCentre, LimbusRim, Turn };
    Grip gripAt(QPointF widgetPoint) const;
    QPointF turnKnob() const; // widget point
    void zoomAround(double factor, QPointF widgetPoint);
    void clampOrigin();
    void dropOverlay()
    {
        m_overlay = QImage();
        m_outline = QImage();
    }

    QImage m_photo;
    QImage m_preview; // the photo made smaller, for small zooms
    QString m_text;
    photos::iris::Fit m_fit;
    state::chartgeom::Chart m_chart = state::chartgeom::Chart::Deck;
    bool m_right = true;
    bool m_overlayShown = true;
    QImage m_overlay;
    QRectF m_overlayArea;
    int m_outlineColour = -1;
    QImage m_outline; // drawn over m_overlayArea like the overlay
    std::optional<QPointF> m_mark;

    double m_scale = 1;
    QPointF m_origin; // photo point at the widget's top-left corner
    bool m_fitMode = true;

    Grip m_grip = Grip::None;
    QPointF m_pressAt;
    QPointF m_lastAt;
    bool m_dragged = false;
};
