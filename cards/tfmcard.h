#pragma once
// The card index window.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

class TfmCard : public QWidget {
    Q_OBJECT
public:
    explicit TfmCard(QWidget *owner = nullptr);

    QLabel *lbDate = nullptr;
    QLineEdit *EditDate = nullptr;
    QLineEdit *FNameEdit = nullptr;
    QLineEdit *LNameEdit = nullptr;
    QLineEdit *MNameEdit = nullptr;
    QLineEdit *ConclEdit = nullptr;
};
