#include "conclusion/tfmconcl.h"

#include "platform/place.h"

#include <QVBoxLayout>

TfmConcl::TfmConcl(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmConcl"));
    setWindowTitle(QStringLiteral("Черновое заключение"));
    mmConcl = new Memo(this);
    mmConcl->setObjectName(QStringLiteral("mmConcl"));
    mmConcl->setAccessibleName(QStringLiteral("Черновое заключение"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mmConcl);
    place::client(this, 373, 96, 386, 442);
}
