#pragma once
// A colour-keyed picture shown at one screen pixel per picture pixel (never
// scaled or smoothed: the colour under the mouse is the key), with the hand
// cursor; a press reports the position in picture pixels, and so does the
// mouse moving over it. One colour's region may be outlined over the
// picture; the picture's own pixels, which the keys are read from, never
// change.
#include <QImage>
#include <QMargins>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;

class ChartPicture : public QWidget {
    Q_OBJECT
public:
    ChartPicture(const QString &name, const QString &hint, QWidget *parent = nullptr);

    const QImage &image() const { return m_image; }
    QSize sizeHint() const override { return m_image.size(); }

    // Outlines the region of a colour number; -1 for none.
    void setOutline(int colour);
    int outline() const { return m_outlined; }

signals:
    // The mouse button and the modifier keys are not looked at.
    void pressed(int x, int y);
    // The mouse is over the picture at this pixel, or has left it.
    void hovered(int x, int y);
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QImage m_image;
    int m_outlined = -1;
    QImage m_outline; // transparent but for the outline
};

namespace charts {

// A page of a tab control holding one picture at its top-left corner, with
// the given margins.
QWidget *pictureTab(QTabWidget *tabs, const char *name, const QString &caption, ChartPicture *picture,
                    QMargins margins = {});

// The bottom row of a chart window: Label1 with the colour number of the
// last click and Edit1 with the name found (its hint given), laid out in a
// row the caller may add to.
QFrame *clickRow(QWidget *parent, QLabel **label, QLineEdit **edit, const QString &editHint);

// A press on a picture, as the chart and the pupil windows take it: the
// pixel (x, y) and its colour number (key) are kept, `label` shows the
// number, and `lookup` finds what the number names in the picture's file.
// The photo window's clicks and offers come down the same road, through the
// windows' press handlers.
void takePress(const ChartPicture &picture, QPoint at, int &x, int &y, QString &key, QLabel *label,
               const std::function<void()> &lookup);

// The region of a colour outlined: an image of the picture's size,
// transparent but for a two-pixel line along the region's edge inside it.
QImage outlineOf(const QImage &picture, int colour, QRgb line);

} // namespace charts
