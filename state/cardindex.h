#pragma once
// The card index now open, as a document: its entries (what the card window
// lists), the file pair they were read from or saved to, the lock held on
// that pair and how its files were when last read or written here, the
// backups a save keeps, and the two flags the exit check asks about. The
// card window is a view of it: it asks the user and calls the operations
// here. The photos follow it through its signals, the exit check asks it.
//
// No operation here shows anything: what the user must be told comes back
// in the results, and the questions are the caller's.
#include "state/cardbackup.h"
#include "state/cardindexfile.h"
#include "state/cardlock.h"
#include "state/human.h"

#include <QObject>
#include <QPersistentModelIndex>

#include <functional>
#include <optional>

class CardListModel;

namespace state::cards {

class CardIndex : public QObject {
    Q_OBJECT
public:
    explicit CardIndex(QObject *parent = nullptr);
    // Gives up the lock of the pair.
    ~CardIndex() override;

    // The entries (display texts and records), in list order.
    CardListModel *model() const { return m_model; }
    const QList<CardEntry> &entries() const;
    // The record of an entry, or one named by its display text when it has none.
    THuman cardOf(int row) const;
    // Full name of the list file last opened or saved ("" for none).
    QString listFileName() const { return m_listFile; }
    // Open to read only: another workstation has the pair, or no lock can be
    // written beside it. The pair is then never written over; it may be saved
    // under another name, and the list edited in memory. The reason names
    // the lock's holder ("её открыл(а) …").
    bool readOnly() const { return m_readOnly; }
    QString readOnlyReason() const { return m_readOnlyWhy; }

    // The flags of the exit check.
    bool isDirty() const { return CardIndexDirty == 1; }
    bool hasCardTakenOut() const { return CardTakenOut == 1; }
    // Changed since the list was read, saved or emptied: work to lose. A
    // card index just read counts as unsaved, but holds none.
    bool hasChanges() const { return m_changed; }

    // The start values (when the main window is created): nothing unsaved,
    // no card taken out.
    void setStartValues();
    // Everything as at program start: no entries, no file, no lock (between tests).
    void reset();

    // --- The current patient: the card in the card window's edit fields,
    // taken out, typed, or empty. The window puts in what the user types;
    // "Править" fills it, "Записать" empties it.
    const THuman &card() const { return m_card; }
    void editCard(const THuman &card);
    // The conclusion saved for the patient (the draft saved as a conclusion).
    void setConclFile(const QString &fileName);

    // --- The lock. Before a pair is opened or written, the caller claims
    // it: it looks at the lock (holder, state), asks the user what the
    // state calls for, and takes the lock or takes a stale one over. The
    // open or save that follows keeps a lock taken so, or gives it up when
    // it fails.
    cardlock::Holder self() const { return cardlock::me(m_lockMark); }
    cardlock::State stateOf(const cardlock::Holder &holder) const { return cardlock::stateOf(holder, self()); }
    cardlock::Take takeLock(const QString &listFile, QString *error);
    cardlock::Take takeOverLock(const QString &listFile, const cardlock::Holder &seen, QString *error);
    // Gives up the lock (the program ends); the list stays.
    void releaseLock();

    // --- The pair.
    enum class Access { Edit, ReadOnly };
    struct Opened {
        bool ok = false;
        QString message; // why not
        QString warning; // read, but the user should know (a cut record)
    };
    // "Открыть": reads the pair and, when both files read well, puts its
    // entries in place of the list. Opened to edit, it counts as unsaved;
    // to read only, it holds nothing to save. A card taken out stays out.
    Opened open(const QString &listFile, Access access);
    // Asked when the files of the pair were changed by another program
    // since they were read or written here; true replaces them.
    using ReplaceChanged = std::function<bool(const QString &message)>;
    // "Сохранить" (under this name or another): writes the entries as the
    // pair listFile, keeping the pair it replaces as a backup. Declined at
    // replaceChanged, the result has changedOnDisk and nothing to tell.
    cardindex::WriteResult saveAs(const QString &listFile, const ReplaceChanged &replaceChanged);
    // Why the entries may not be written as listFile ("" when they may): the
    // pair open to read only takes a copy under another name only.
    QString refusal(const QString &listFile) const;
    // The backups of the pair (each save keeps the pair it replaces), newest first.
    QList<cardbackup::Backup> backups() const;
    // "Копии": puts a backup of the pair (already read: its entries) in place
    // of the pair, as a save would, and its entries in place of the list.
    cardindex::WriteResult restore(const QString &backupListFile, QList<CardEntry> entries,
                                   const ReplaceChanged &replaceChanged);
    // "Очистить": no entries, no file, no lock. No file is touched; the
    // flags stay.
    void clear();

    // --- The cards.
    // "Новая": a card "Новый пациент" at the end; returns its row.
    int newCard();
    // "Править": the card of row comes out (an entry without a record gets
    // one, named by its display text) and the examination is now its.
    THuman takeOut(int row);
    // Whether the card in the edit fields was taken out of an entry (which
    // may have gone since), and that entry's row (-1 when it has gone or
    // none was taken out).
    bool cardFromEntry() const { return m_haveTakenOut; }
    int takenOutRow() const;
    // A card taken out that was changed in the fields (or whose entry has
    // gone): work to lose.
    bool cardOutChanged() const;
    // "Записать" found no entry for the card out: it has nowhere to go back
    // to, and counts as typed from now on, to go onto an entry the user
    // selects. It still counts as taken out.
    void detachCard();
    // "Записать": card becomes the record of row, which is named after it;
    // the card counts as written back and the fields are emptied. A card
    // written back to the entry it came from is the same patient
    // (cardRewritten).
    void writeBack(int row, const THuman &card);
    // "Удалить".
    void remove(int row);

    // --- Changes kept beside the list (the photos of the cards).
    // A photo added, put on or taken off a card: unsaved, and work to lose.
    void noteChange();
    // Something waits to be written (circles fitted to a photo, a photo
    // index that could not be written): the card index counts as unsaved.
    void noteUnsaved();

    // --- The examination's card: the one last taken out (or, after the
    // new-patient reset, the card out then, if any).
    std::optional<THuman> examinedCard() const { return m_examCard; }
    // Whether the examination belongs to a card other than row's (false
    // when it belongs to none).
    bool examinesAnotherCard(int row) const;
    void examinationRestarted();

signals:
    void opened(const QString &listFile);
    // Written as listFile (saved, or a backup restored in its place).
    void saved(const QString &listFile);
    void cleared();
    // The card taken out of an entry was written back to it: the same
    // patient, perhaps under another name or date.
    void cardRewritten(const THuman &before, const THuman &after);
    // A card with a record was deleted from the list.
    void cardDeleted(const THuman &card);
    // The current patient changed (typed, taken out, written back).
    void cardChanged();
    void conclFileChanged(const QString &fileName);
    void dirtyChanged(bool dirty);
    void takenOutChanged(bool takenOut);
    void readOnlyChanged(bool readOnly);

private:
    using Writer = std::function<cardindex::WriteResult(const cardindex::SaveOptions &)>;
    cardindex::WriteResult replace(const QString &listFile, const Writer &write, const ReplaceChanged &replaceChanged);
    // The lock a claim has just taken for listFile: kept, or given up.
    void keepClaim(const QString &listFile);
    void dropClaim(const QString &listFile);
    void dropLock();
    void setReadOnly(bool on, const QString &why = {});
    // The one place each flag is written.
    void setDirty(bool on);
    void setTakenOut(bool on);

    CardListModel *m_model = nullptr;
    QString m_listFile;
    // The pair whose lock this card index holds ("" for none), a lock just
    // taken by a claim, and how the files were when last read or written.
    QString m_lockedFile;
    QString m_claimed;
    std::optional<cardindex::PairStamp> m_stamp;
    QString m_lockMark;
    bool m_readOnly = false;
    QString m_readOnlyWhy;
    // 1 after the card index was read to edit, a card was added, written
    // back or deleted; 0 at start and after it was written whole.
    int CardIndexDirty = 0;
    // 1 from "Править" until "Записать".
    int CardTakenOut = 0;
    bool m_changed = false;
    THuman m_card;
    // The entry the card in the edit fields was taken from; it follows the
    // entry when others are deleted and becomes invalid when the entry goes.
    QPersistentModelIndex m_takenOut;
    bool m_haveTakenOut = false;
    // The card whose examination the program holds (its entry, and the card
    // as it was then, for when the entry is gone).
    QPersistentModelIndex m_examEntry;
    std::optional<THuman> m_examCard;
};

// The program's card index.
CardIndex &cardIndex();

} // namespace state::cards
