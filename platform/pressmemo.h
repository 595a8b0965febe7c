#pragma once
// A text box that reports a mouse press after the press has placed the caret.
// The second press of a double click counts too: it moves the caret to the
// end of the word it selects.
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

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        Memo::mouseDoubleClickEvent(event);
        emit pressed();
    }
};
