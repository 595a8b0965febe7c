#include "charts/chartpicture.h"

#include "charts/pictures.h"
#include "platform/controls.h"

#include <QMouseEvent>
#include <QPainter>

ChartPicture::ChartPicture(const QString &name, const QString &hint, QWidget *parent)
    : QWidget(parent), m_image(charts::picture(name))
{
    ui::describe(this, name.toLatin1().constData(), hint, hint);
    setFixedSize(m_image.size());
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void ChartPicture::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(at.x(), at.y());
}
