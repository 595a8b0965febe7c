#pragma once
// The door of the card index window: the operations other windows use on it.
// Its edit fields are the program's record of the current patient; other
// windows read the patient from them and link a saved conclusion to the card
// here, and nobody outside the window's own files touches them.
#include "cards/cardindexfile.h"

#include <QObject>
#include <QString>

#include <functional>

namespace card {

// Creates the window on first use, shows it, makes it visible and brings it
// to the front.
void open();
// Whether the window has been created.
bool exists();

// The current patient as the card's edit fields hold him.
struct Patient {
    QString surname;    // FNameEdit
    QString firstName;  // LNameEdit
    QString patronymic; // MNameEdit
    QString dateLabel;  // caption of lbDate, "Дата:"
    QString date;       // EditDate
};
// All empty while the window does not exist.
Patient patient();

// Tells whenever the patient in the edit fields may have changed (a card
// taken out or written back, a name typed); it exists before the window.
class PatientNotifier : public QObject {
    Q_OBJECT
signals:
    void changed();
};
PatientNotifier &patientNotifier();

// The examination starts afresh (the new-patient reset): it belongs to the
// card taken out now, if any, and to no card otherwise.
void examinationRestarted();

// The card's conclusion file name (ConclEdit) becomes name; the window is
// created (not shown) when it does not exist yet.
void setConclFile(const QString &name);

// The entries of the card index, in list order.
QList<CardEntry> entries();
// Calls onChange after every change of the list (an entry added, removed,
// renamed or rewritten, the list replaced) while context lives.
void watchList(QObject *context, const std::function<void()> &onChange);

} // namespace card
