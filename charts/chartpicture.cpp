#include "charts/chartpicture.h"

#include "charts/pictures.h"
#include "platform/controls.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTabWidget>
#include <QVBoxLayout>

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
    ui::describe(*edit, "Edit1", editHint, editHint);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(*label);
    row->addWidget(*edit, 1);
    return panel;
}

} // namespace charts
