#include "cards/agespinbox.h"

#include "state/human.h"

#include <QLineEdit>

#include <limits>

AgeSpinBox::AgeSpinBox(QWidget *parent)
    : QAbstractSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, &AgeSpinBox::textChanged);
}

int AgeSpinBox::value() const
{
    return state::human::ageFromText(lineEdit()->text());
}

void AgeSpinBox::setValue(int value)
{
    lineEdit()->setText(QString::number(value));
}

void AgeSpinBox::setText(const QString &text)
{
    lineEdit()->setText(text);
}

void AgeSpinBox::stepBy(int steps)
{
    const qint64 next = qint64(value()) + steps;
    constexpr qint64 lo = std::numeric_limits<int>::min();
    constexpr qint64 hi = std::numeric_limits<int>::max();
    setValue(int(qBound(lo, next, hi)));
    selectAll();
}

QValidator::State AgeSpinBox::validate(QString &, int &) const
{
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled AgeSpinBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}
