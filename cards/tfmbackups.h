#pragma once
// The list of a card index's backups, newest first, to choose one to restore
// ("Копии" in the card window).
#include "state/cardbackup.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TfmBackups : public QDialog {
    Q_OBJECT
public:
    TfmBackups(QWidget *owner, const QString &listFile, const QList<state::cardbackup::Backup> &backups);

    // The list file of the backup chosen ("" for none).
    QString chosen() const;

private:
    // The controls, under their written names (their object names too).
    QLabel *lbExplain = nullptr;
    QListWidget *lbBackups = nullptr;
    QPushButton *bbRestore = nullptr;
    QPushButton *bbCancel = nullptr;

    QList<state::cardbackup::Backup> m_backups;
};

namespace cards::cardbackup {
// "12.03.2024 14:05:33 — 3 карточки": a backup as the list shows it.
QString listText(const state::cardbackup::Backup &backup);
} // namespace cards::cardbackup
