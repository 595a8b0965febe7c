#pragma once
// A colour-keyed picture shown at one screen pixel per picture pixel (never
// scaled or smoothed: the colour under the mouse is the key), with the hand
// cursor; a press reports the position in picture pixels.
#include <QImage>
#include <QMargins>
#include <QWidget>

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

signals:
    // The mouse button and the modifier keys are not looked at.
    void pressed(int x, int y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image;
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

} // namespace charts
