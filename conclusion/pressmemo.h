#pragma once
// A text box that reports a mouse press after the press has placed the caret.
#include "platform/memo.h"

class PressMemo : public Memo {
    Q_OBJECT
public:
    using Memo::Memo;

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        Memo::mousePressEvent(event);
        emit pressed();
    }
};
