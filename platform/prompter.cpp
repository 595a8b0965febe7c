#include "platform/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QStringList>

namespace platform::ui {

namespace {

class DesktopPrompter final : public Prompter {
public:
    void message(QWidget *parent, const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text,
                        QMessageBox::Ok, parent);
        showPlain(box);
        box.exec();
    }

    QMessageBox::StandardButton ask(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton) override
    {
        QMessageBox box(icon, titleFor(icon), text, buttons, parent);
        showPlain(box);
        if (defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(defaultButton);
        // Qt's translation calls it "Отклонить"; beside "Сохранить" it
        // means not saving.
        if (QAbstractButton *discard = box.button(QMessageBox::Discard))
            discard->setText(QStringLiteral("Не сохранять"));
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString openFileName(QWidget *parent, const FileRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptOpen);
    }

    QString saveFileName(QWidget *parent, const FileRequest &r) override
    {
        return run(parent, r, QFileDialog::AcceptSave);
    }

    int exec(QDialog *dialog) override { return dialog->exec(); }

private:
    // A message often carries a file name, a line of a file or a typed
    // field: it is shown as it is, never as markup and never with a link.
    static void showPlain(QMessageBox &box) { box.setTextFormat(Qt::PlainText); }

    static QString run(QWidget *parent, const FileRequest &r, QFileDialog::AcceptMode mode)
    {
        QFileDialog dialog(parent, r.title);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                           : QFileDialog::AnyFile);
        dialog.setNameFilter(qtFilter(r.filter));
        dialog.setDefaultSuffix(r.defaultSuffix);
        if (!r.folder.isEmpty())
            dialog.setDirectory(r.folder);
        if (!r.fileName.isEmpty())
            dialog.selectFile(r.fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

DesktopPrompter &desktop()
{
    static DesktopPrompter prompter;
    return prompter;
}
// The prompter the program asks, when not the desktop's.
Prompter *&current()
{
    static Prompter *prompter = nullptr;
    return prompter;
}

} // namespace

Prompter &desktopPrompter()
{
    return desktop();
}

Prompter &prompter()
{
    return current() ? *current() : static_cast<Prompter &>(desktop());
}

void setPrompter(Prompter *p)
{
    current() = p;
}

QString qtFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts.at(i + 1);
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString shown = QStringLiteral("(") + masks + QLatin1Char(')');
        // A description that already names its masks ("Rich Text Files
        // (*.RTF)") shows them once.
        if (parts.at(i).trimmed().endsWith(shown, Qt::CaseInsensitive))
            filters << parts.at(i).trimmed();
        else
            filters << parts.at(i) + QLatin1Char(' ') + shown;
    }
    return filters.join(QStringLiteral(";;"));
}

QString titleFor(QMessageBox::Icon icon)
{
    switch (icon) {
    case QMessageBox::Warning:
        return QStringLiteral("Предупреждение");
    case QMessageBox::Critical:
        return QStringLiteral("Ошибка");
    case QMessageBox::Information:
        return QStringLiteral("Информация");
    case QMessageBox::Question:
        return QStringLiteral("Подтверждение");
    case QMessageBox::NoIcon:
        break;
    }
    return QApplication::applicationName();
}

} // namespace platform::ui
