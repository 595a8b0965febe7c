#include "platform/hints.h"

#include <QCoreApplication>
#include <QStatusTipEvent>

HintHub &HintHub::instance()
{
    static HintHub hub;
    return hub;
}

void HintHub::install()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

void HintHub::setHint(const QString &text)
{
    if (text == m_hint)
        return;
    m_hint = text;
    if (m_handler)
        m_handler(text);
    else
        emit hintChanged(text);
}

void HintHub::setApplicationHandler(std::function<void(const QString &)> handler)
{
    m_handler = std::move(handler);
}

bool HintHub::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::StatusTip)
        setHint(static_cast<QStatusTipEvent *>(event)->tip());
    return QObject::eventFilter(watched, event);
}
