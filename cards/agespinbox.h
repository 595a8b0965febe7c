#pragma once
// The age field: a number field with up/down buttons and no range limit that
// accepts any text, as the card has always allowed; text that is not an
// integer counts as 0.
#include <QAbstractSpinBox>

class AgeSpinBox : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit AgeSpinBox(QWidget *parent = nullptr);

    int value() const;
    void setValue(int value);
    // Puts any text into the field, as typing would.
    void setText(const QString &text);

    void stepBy(int steps) override;
    QValidator::State validate(QString &input, int &pos) const override;

signals:
    void textChanged(const QString &text);

protected:
    StepEnabled stepEnabled() const override;
};
