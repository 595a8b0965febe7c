#pragma once
// A prompter for tests: records every message, question and dialog and
// answers from queues, so that no test ever waits on a modal window.
#include "platform/prompter.h"

#include <QList>
#include <QStringList>

#include <functional>

struct PromptRecord {
    enum Kind { Message, Ask, Open, Save, Exec } kind;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
    platform::ui::FileRequest request;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

class ScriptedPrompter : public platform::ui::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    QList<PromptRecord> records;
    QList<QMessageBox::StandardButton> answers; // for ask(); default: first button offered
    QStringList fileNames;                      // for open/save; empty string = cancel
    std::function<int(QDialog *)> onExec;       // for exec(); default: reject

    void message(QWidget *parent, const QString &text) override;
    QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) override;
    QString openFileName(QWidget *parent, const platform::ui::FileRequest &request) override;
    QString saveFileName(QWidget *parent, const platform::ui::FileRequest &request) override;
    int exec(QDialog *dialog) override;

    // Texts of all messages and questions, in order.
    QStringList texts() const;
    void clear();
};
