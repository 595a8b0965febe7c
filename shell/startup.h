#pragma once
// Start-up: splash, main window, splash wait, message loop.
#include <QApplication>

class TfmSplash;

// The application object: reports any failure of an event handler in a
// message box with the failure's own text, and the handler stops there.
class NirelApplication : public QApplication {
public:
    NirelApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

namespace shell {

// The program is Russian whatever the machine's locale: Qt's own Russian
// translation (standard buttons read "Да"/"Нет"), and Russian as the default
// locale (day and month names, numbers in number fields).
void installRussian(QCoreApplication &app);

// Processes window messages until the splash agrees to close.
void waitForSplash(TfmSplash &splash);

// The whole start-up; returns the exit code of the message loop.
int run(QApplication &app);

} // namespace shell
