#pragma once
// The express examination window.
#include <QWidget>

class TfmExpress : public QWidget {
    Q_OBJECT
public:
    explicit TfmExpress(QWidget *owner = nullptr);
};
