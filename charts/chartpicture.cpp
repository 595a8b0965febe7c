#include "charts/chartpicture.h"

#include "charts/pictures.h"
#include "platform/controls.h"
#include "state/keyedlines.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstdlib>

ChartPicture::ChartPicture(const QString &name, const QString &hint, QWidget *parent)
    : QWidget(parent), m_image(charts::picture(name))
{
    platform::ui::describe(this, name.toLatin1().constData(), hint, hint);
    setFixedSize(m_image.size());
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ChartPicture::setOutline(int colour)
{
    if (colour == m_outlined)
        return;
    m_outlined = colour;
    m_outline = colour < 0 ? QImage() : charts::outlineOf(m_image, colour, qRgb(255, 0, 255));
    update();
}

void ChartPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
    if (!m_outline.isNull())
        p.drawImage(0, 0, m_outline);
}

void ChartPicture::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(at.x(), at.y());
}

void ChartPicture::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (rect().contains(at))
        emit hovered(at.x(), at.y());
    else
        emit left();
}

void ChartPicture::enterEvent(QEnterEvent *event)
{
    // Also when the picture comes up under a pointer at rest (its tab
    // chosen from the keyboard): the zone there is named without a move.
    const QPoint at = event->position().toPoint();
    if (rect().contains(at))
        emit hovered(at.x(), at.y());
}

void ChartPicture::leaveEvent(QEvent *)
{
    emit left();
}

namespace charts {

QWidget *pictureTab(QTabWidget *tabs, const char *name, const QString &caption, ChartPicture *picture,
                    QMargins margins)
{
    auto *tab = new QWidget(tabs);
    tab->setObjectName(QString::fromLatin1(name));
    auto *l = new QVBoxLayout(tab);
    l->setContentsMargins(margins);
    picture->setParent(tab);
    l->addWidget(picture, 0, Qt::AlignLeft | Qt::AlignTop);
    tabs->addTab(tab, caption);
    return tab;
}

QFrame *clickRow(QWidget *parent, QLabel **label, QLineEdit **edit, const QString &editHint)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("Panel1"));
    *label = new QLabel(panel);
    (*label)->setObjectName(QStringLiteral("Label1"));
    (*label)->setTextFormat(Qt::PlainText);
    (*label)->setMinimumWidth(70);
    // The number shown is what a screen reader reads as the label's name;
    // what it is, is its description.
    (*label)->setAccessibleDescription(QStringLiteral("Номер цвета"));
    *edit = new QLineEdit(panel);
    platform::ui::describe(*edit, "Edit1", editHint, editHint);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(*label);
    row->addWidget(*edit, 1);
    return panel;
}

void takePress(const ChartPicture &picture, QPoint at, int &x, int &y, QString &key, QLabel *label,
               const std::function<void()> &lookup)
{
    x = at.x();
    y = at.y();
    key = QString::number(state::keyed::colourNumber(picture.image(), at));
    label->setText(key);
    lookup();
}

QImage outlineOf(const QImage &picture, int colour, QRgb line)
{
    QImage out(picture.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const auto inside = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= rgb.width() || y >= rgb.height())
            return false;
        const QRgb c = reinterpret_cast<const QRgb *>(rgb.constScanLine(y))[x];
        return qRed(c) + 256 * qGreen(c) + 65536 * qBlue(c) == colour;
    };
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            if (!inside(x, y))
                continue;
            bool edge = false;
            for (int dy = -2; dy <= 2 && !edge; ++dy)
                for (int dx = -2; dx <= 2 && !edge; ++dx)
                    edge = std::abs(dx) + std::abs(dy) <= 2 && !inside(x + dx, y + dy);
            if (edge)
                out.setPixel(x, y, line);
        }
    return out;
}

} // namespace charts
