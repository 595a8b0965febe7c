#pragma once
// A colour-keyed picture shown at one screen pixel per picture pixel (never
// scaled or smoothed: the colour under the mouse is the key), with the hand
// cursor; a press reports the position in picture pixels.
#include <QImage>
#include <QWidget>

class ChartPicture : public QWidget {
    Q_OBJECT
public:
    ChartPicture(const QString &name, const QString &hint, QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    QSize sizeHint() const override { return m_image.size(); }

signals:
    // The mouse button and the modifier keys are not looked at.
    void pressed(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image;
};
