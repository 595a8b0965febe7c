#pragma once
// The door of the card index: what other windows use of it. The current
// patient is the card in the card window's edit fields, which the card index
// holds (state/cardindex.h); other windows read the patient and link a saved
// conclusion to the card here, and nobody outside the window's own files
// touches the window's controls.
#include "state/cardindexfile.h"

#include <QObject>
#include <QString>

#include <functional>

namespace state::card {

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

// Calls onChange whenever the patient may have changed (a card taken out or
// written back, a name typed) while context lives.
void watchPatient(QObject *context, const std::function<void()> &onChange);

// The examination starts afresh (the new-patient reset): it belongs to the
// card taken out now, if any, and to no card otherwise.
void examinationRestarted();

// The card's conclusion file name (ConclEdit) becomes name.
void setConclFile(const QString &name);

// The entries of the card index, in list order.
QList<CardEntry> entries();
// Calls onChange after every change of the list (an entry added, removed,
// renamed or rewritten, the list replaced) while context lives.
void watchList(QObject *context, const std::function<void()> &onChange);

} // namespace state::card
