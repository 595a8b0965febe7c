#include "shell/tfmsplash.h"

#include "platform/place.h"
#include "platform/titlebar.h"
#include "shell/resources.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

TfmSplash::TfmSplash(QWidget *parent)
    : QWidget(parent, platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint))
{
    shell::initResources();
    setObjectName(QStringLiteral("fmSplash"));
    setWindowTitle(QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики"));
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/splash.png")));
    picture->setAlignment(Qt::AlignCenter);
    // The window's outer size rules; under a thick title bar the picture's
    // edge is cut rather than the window grown.
    picture->setMinimumSize(1, 1);
    picture->setAccessibleName(QStringLiteral("НИРЕЛ-3 - Экспертная система для иридодиагностики"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(picture);
    platform::place::centredOuter(this, 408, 417);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    // A coarse timer may fire up to 5 % early; the splash stays at least 3 s.
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &TfmSplash::stopWaiting);
    Timer1->start();
}

bool TfmSplash::FormCloseQuery() const
{
    return !Timer1->isActive();
}

void TfmSplash::stopWaiting()
{
    Timer1->stop();
}

void TfmSplash::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}
