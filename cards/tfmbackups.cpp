#include "cards/tfmbackups.h"

#include "platform/controls.h"
#include "platform/textfile.h"
#include "platform/titlebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cards::cardbackup {

QString listText(const state::cardbackup::Backup &backup)
{
    const platform::textfile::BytesResult list = platform::textfile::readBytes(backup.listFile);
    if (!list.ok)
        return state::cardbackup::caption(backup) + QStringLiteral(" — не читается");
    const qsizetype cards =
        std::count(list.bytes.cbegin(), list.bytes.cend(), '\n') + (list.bytes.isEmpty() || list.bytes.endsWith('\n') ? 0 : 1);
    const qsizetype ten = cards % 10, hundred = cards % 100;
    const QString word = ten == 1 && hundred != 11                              ? QStringLiteral("карточка")
                         : ten >= 2 && ten <= 4 && (hundred < 12 || hundred > 14) ? QStringLiteral("карточки")
                                                                                   : QStringLiteral("карточек");
    return state::cardbackup::caption(backup) + QStringLiteral(" — %1 ").arg(cards) + word;
}

} // namespace cards::cardbackup

TfmBackups::TfmBackups(QWidget *owner, const QString &listFile, const QList<state::cardbackup::Backup> &backups)
    : QDialog(owner, platform::ui::titleBar(Qt::Dialog, Qt::WindowSystemMenuHint)),
      m_backups(backups)
{
    setObjectName(QStringLiteral("fmBackups"));
    setWindowTitle(QStringLiteral("Копии картотеки"));

    lbExplain = platform::ui::makePlainLabel(
        QStringLiteral("Каждое сохранение картотеки ") + listFile +
            QStringLiteral(" оставляет прежнюю картотеку в копии. Выбранная копия заменит картотеку на диске и "
                           "в окне, а нынешняя сама останется в копии: восстановление можно отменить, "
                           "восстановив её."),
        this);
    lbExplain->setObjectName(QStringLiteral("lbExplain"));
    lbExplain->setWordWrap(true);

    lbBackups = new QListWidget(this);
    platform::ui::describe(lbBackups, "lbBackups", QStringLiteral("Копии"), QStringLiteral("Копии картотеки, новые сверху"));
    for (const state::cardbackup::Backup &b : backups)
        lbBackups->addItem(cards::cardbackup::listText(b));
    lbBackups->setCurrentRow(0);

    bbRestore = new QPushButton(QStringLiteral("Восстановить"), this);
    platform::ui::describe(bbRestore, "bbRestore", QStringLiteral("Восстановить"),
                 QStringLiteral("Заменить картотеку выбранной копией"));
    bbRestore->setDefault(true);
    bbCancel = new QPushButton(QStringLiteral("Отмена"), this);
    platform::ui::describe(bbCancel, "bbCancel", QStringLiteral("Отмена"), QStringLiteral("Ничего не восстанавливать"));
    connect(bbRestore, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbBackups, &QListWidget::itemActivated, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(bbRestore);
    buttons->addWidget(bbCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbExplain);
    layout->addWidget(lbBackups, 1);
    layout->addLayout(buttons);
    resize(360, 300);
}

QString TfmBackups::chosen() const
{
    const int row = lbBackups->currentRow();
    return row >= 0 && row < m_backups.size() ? m_backups.at(row).listFile : QString();
}
