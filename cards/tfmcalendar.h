#pragma once
// The small modal calendar that puts a date into the card's date field.
#include <QCalendarWidget>
#include <QDialog>
#include <QPushButton>

class TfmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfmCalendar(QWidget *owner = nullptr);

    // The selected date as the Russian short date, "07.12.2026".
    QString dateText() const;

public slots:
    void enterDate(); // Button1Click

private:
    QCalendarWidget *Calendar = nullptr;
    QPushButton *Button1 = nullptr;
};
