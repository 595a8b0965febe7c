#include "cards/tfmcard.h"

#include "platform/place.h"

#include <QFormLayout>

TfmCard::TfmCard(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmCard"));
    setWindowTitle(QStringLiteral("Картотека"));
    lbDate = new QLabel(QStringLiteral("Дата:"), this);
    lbDate->setObjectName(QStringLiteral("lbDate"));
    EditDate = new QLineEdit(this);
    EditDate->setObjectName(QStringLiteral("EditDate"));
    ConclEdit = new QLineEdit(this);
    ConclEdit->setObjectName(QStringLiteral("ConclEdit"));
    FNameEdit = new QLineEdit(this);
    FNameEdit->setObjectName(QStringLiteral("FNameEdit"));
    LNameEdit = new QLineEdit(this);
    LNameEdit->setObjectName(QStringLiteral("LNameEdit"));
    MNameEdit = new QLineEdit(this);
    MNameEdit->setObjectName(QStringLiteral("MNameEdit"));
    auto *layout = new QFormLayout(this);
    layout->addRow(lbDate, EditDate);
    layout->addRow(QStringLiteral("Фамилия:"), FNameEdit);
    layout->addRow(QStringLiteral("Имя:"), LNameEdit);
    layout->addRow(QStringLiteral("Отчество:"), MNameEdit);
    layout->addRow(QStringLiteral("Заключение"), ConclEdit);
    place::outer(this, 1, 96, 373, 469);
}
