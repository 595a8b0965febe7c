#pragma once
// The small modal calendar that puts a date into the card's date field.
#include <QCalendarWidget>
#include <QDialog>
#include <QPushButton>

class TfmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfmCalendar(QWidget *owner = nullptr);

    // The selected date in the system's short date format.
    QString dateText() const;

    QCalendarWidget *Calendar = nullptr;
    QPushButton *Button1 = nullptr;

public slots:
    void Button1Click();
};
