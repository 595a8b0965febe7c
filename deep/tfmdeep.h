#pragma once
// The deep examination window.
#include "platform/memo.h"

#include <QWidget>

class TfmDeep : public QWidget {
    Q_OBJECT
public:
    explicit TfmDeep(QWidget *owner = nullptr);

    Memo *mmSign = nullptr;
    Memo *mmPathology = nullptr;
};
