#include "deep/tfmdeep.h"

#include "platform/place.h"

#include <QVBoxLayout>

TfmDeep::TfmDeep(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmDeep"));
    setWindowTitle(QStringLiteral("Углубленный осмотр"));
    mmSign = new Memo(this);
    mmSign->setObjectName(QStringLiteral("mmSign"));
    mmPathology = new Memo(this);
    mmPathology->setObjectName(QStringLiteral("mmPathology"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mmSign);
    layout->addWidget(mmPathology);
    place::outer(this, 1, 96, 373, 469);
}
