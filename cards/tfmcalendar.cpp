#include "cards/tfmcalendar.h"

#include "platform/dates.h"
#include "platform/titlebar.h"

#include <QDate>
#include <QLocale>
#include <QVBoxLayout>

TfmCalendar::TfmCalendar(QWidget *owner)
    : QDialog(owner, platform::ui::titleBar(Qt::Dialog, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint))
{
    setObjectName(QStringLiteral("fmCalendar"));
    setWindowTitle(QStringLiteral("Календарь"));

    Calendar = new QCalendarWidget(this);
    Calendar->setObjectName(QStringLiteral("Calendar"));
    Calendar->setAccessibleName(QStringLiteral("Календарь"));
    // Month and day names in Russian like the rest of the program, whatever
    // the machine's locale.
    Calendar->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    // Week numbers would not leave room for the days in so small a window.
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    Calendar->setGridVisible(false);
    Calendar->setSelectedDate(QDate::currentDate());

    Button1 = new QPushButton(QStringLiteral("Ввод"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("Ввод"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfmCalendar::enterDate);
    // A double click on a day is the same as choosing it and pressing "Ввод".
    connect(Calendar, &QCalendarWidget::activated, this, &TfmCalendar::enterDate);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(Calendar, 1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    resize(201, 217);
}

QString TfmCalendar::dateText() const
{
    return platform::dates::shortDate(Calendar->selectedDate());
}

void TfmCalendar::enterDate()
{
    accept();
}
