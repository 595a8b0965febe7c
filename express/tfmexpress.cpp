#include "express/tfmexpress.h"

#include "platform/place.h"

TfmExpress::TfmExpress(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmExpress"));
    setWindowTitle(QStringLiteral("Экспресс-осмотр"));
    place::outer(this, 1, 96, 373, 469);
}
