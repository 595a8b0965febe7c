#pragma once
// The splash window: shown at start-up; refuses to close until its timer has
// fired once, so it stays on screen for at least three seconds.
#include <QTimer>
#include <QWidget>

class TfmSplash : public QWidget {
    Q_OBJECT
public:
    explicit TfmSplash(QWidget *parent = nullptr);

    // The close query: closing is allowed exactly when Timer1 is no longer enabled.
    bool FormCloseQuery() const;
    void stopWaiting(); // Timer1Timer

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QTimer *Timer1 = nullptr;
};
