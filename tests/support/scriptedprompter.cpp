#include "scriptedprompter.h"

#include <QDialog>

ScriptedPrompter::ScriptedPrompter()
{
    platform::ui::setPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    platform::ui::setPrompter(nullptr);
}

void ScriptedPrompter::message(QWidget *, const QString &text)
{
    records.append({PromptRecord::Message, QMessageBox::NoIcon, text, QMessageBox::Ok, {}});
}

QMessageBox::StandardButton ScriptedPrompter::ask(QWidget *, QMessageBox::Icon icon, const QString &text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    records.append({PromptRecord::Ask, icon, text, buttons, {}, defaultButton});
    if (!answers.isEmpty())
        return answers.takeFirst();
    for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
        if (buttons.testFlag(QMessageBox::StandardButton(b)))
            return QMessageBox::StandardButton(b);
    return QMessageBox::NoButton;
}

QString ScriptedPrompter::openFileName(QWidget *, const platform::ui::FileRequest &request)
{
    records.append({PromptRecord::Open, QMessageBox::NoIcon, {}, QMessageBox::NoButton, request});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompter::saveFileName(QWidget *, const platform::ui::FileRequest &request)
{
    records.append({PromptRecord::Save, QMessageBox::NoIcon, {}, QMessageBox::NoButton, request});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

int ScriptedPrompter::exec(QDialog *dialog)
{
    records.append({PromptRecord::Exec, QMessageBox::NoIcon, dialog->objectName(), QMessageBox::NoButton, {}});
    return onExec ? onExec(dialog) : int(QDialog::Rejected);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const PromptRecord &r : records)
        if (r.kind == PromptRecord::Message || r.kind == PromptRecord::Ask)
            out << r.text;
    return out;
}

void ScriptedPrompter::clear()
{
    records.clear();
    answers.clear();
    fileNames.clear();
    onExec = nullptr;
}
