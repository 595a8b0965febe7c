#pragma once
// The draft conclusion window.
#include "platform/memo.h"

#include <QWidget>

class TfmConcl : public QWidget {
    Q_OBJECT
public:
    explicit TfmConcl(QWidget *owner = nullptr);

    Memo *mmConcl = nullptr;
};
