#pragma once
// The card index window: the list of patients of the open card index, the
// card taken out into edit fields, and the link to the patient's conclusion.
// Other windows read the patient's names, date and conclusion file from the
// edit fields, so those are the program's record of the current patient.
#include "cards/cardfilter.h"
#include "cards/cardindexfile.h"
#include "cards/cardlock.h"
#include "cards/human.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QWidget>

#include <functional>
#include <optional>

class AgeSpinBox;
class CardFilterModel;
class CardListModel;
class QAction;
class QGroupBox;
class QIcon;
class QListView;
class QMenu;
class QMenuBar;
class QPushButton;
class QToolBar;
class QToolButton;

class TfmCard : public QWidget {
    Q_OBJECT
public:
    explicit TfmCard(QWidget *owner = nullptr);
    // Gives up the lock of the open card index.
    ~TfmCard() override;

    QLabel *labelCard = nullptr;
    // The backups of the open card index, to restore one.
    QToolButton *bbBackups = nullptr;
    QGroupBox *gbPersons = nullptr;
    // Filters the list by the start of the surname as it is typed; Enter
    // takes out the card found.
    QLineEdit *edSearch = nullptr;
    // Shown while the card index is open to read only; its hint says why.
    QLabel *lbReadOnly = nullptr;
    QListView *PersonsList = nullptr;

    QGroupBox *gbCard = nullptr;
    QLabel *lbDate = nullptr;
    QLineEdit *EditDate = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QLineEdit *FNameEdit = nullptr;
    QLineEdit *LNameEdit = nullptr;
    QLineEdit *MNameEdit = nullptr;
    AgeSpinBox *AgeEdit = nullptr;
    QLineEdit *DocEdit = nullptr;
    QLineEdit *AddrEdit = nullptr;
    QLineEdit *PhoneEdit = nullptr;
    QLineEdit *ComplaintEdit = nullptr;
    QLineEdit *AnamnesisEdit = nullptr;

    QGroupBox *gbConcl = nullptr;
    QLineEdit *ConclEdit = nullptr;
    QPushButton *bbCnclCard = nullptr;
    QPushButton *bbHelpCard = nullptr;
    QToolButton *bbPhotoCard = nullptr;

    QMenuBar *MainMenu1 = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QAction *FileOpen = nullptr;
    QAction *FileSave = nullptr;
    QAction *FileClear = nullptr;
    QAction *CardNew = nullptr;
    QAction *CardEdit = nullptr;
    QAction *CardWrite = nullptr;
    QAction *CardDelete = nullptr;
    QAction *CardPhoto = nullptr;

    // The list's entries (display texts and records).
    CardListModel *model() const { return m_model; }
    // The entries the list shows (all, or those the search lets through).
    CardFilterModel *shown() const { return m_shown; }
    // Row (in the whole list) of the selected entry, or -1.
    int selectedRow() const;
    // Selects an entry by its row in the whole list; an entry the search
    // hides is shown by emptying the search field.
    void selectRow(int row);
    // Open to read only: another workstation has the card index, or no lock
    // can be written beside it. The pair is then never written over; it may
    // be saved under another name, and the list edited in memory.
    bool readOnly() const { return m_readOnly; }
    // Full name of the list file last opened or saved ("" after "Очистить").
    QString listFileName() const { return m_listFile; }

    // The edit fields as a record, and back.
    THuman fieldsToRecord() const;
    void recordToFields(const THuman &h);
    void clearFields();
    // True when every edit field is empty, as after a write-back.
    bool fieldsEmpty() const;

    // The new-patient reset ran: the examination now belongs to the card
    // taken out, if any, and to no card otherwise.
    void examinationRestarted();

public slots:
    void mmFileOpenClick();
    void mmFileSaveClick();
    void mmFileClearClick();
    void ToolButton5Click(); // "Новая"
    void ToolButton6Click(); // "Править"
    void ToolButton7Click(); // "Записать"
    void ToolButton8Click(); // "Удалить"
    void CardPhotoClick();   // "Фото"
    void bbCnclCardClick();
    void bbHelpCardClick();
    void SpeedButton1Click();
    void bbBackupsClick();  // "Копии": restore a backup
    void edSearchReturn();  // Enter in the search field

private:
    enum class Claim { Edit, ReadOnly, Cancel };
    // Makes sure this window may write the pair (taking its lock, asking
    // about somebody else's); for opening, reading only may be chosen.
    Claim claim(const QString &listFile, bool forSaving, bool *taken);
    void dropLock();
    void setReadOnly(bool on, const QString &why = {});
    // Before the list is replaced (another card index opened, a backup
    // restored): with a card taken out or the card index unsaved, asks to
    // save first; false when the user cancels or the save did not happen.
    bool settleUnsavedWork(const QString &before);
    // A card taken out whose fields differ from its entry (or whose entry
    // has gone).
    bool cardOutChanged() const;
    // Saves entries (or restores a backup) over the pair, asking when the
    // files were changed by another program; true when done.
    bool replace(const QString &listFile, const std::function<cardindex::WriteResult(const cardindex::SaveOptions &)> &write);
    bool eventFilter(QObject *watched, QEvent *event) override;
    QAction *makeAction(const char *name, const QString &caption, const QString &hint,
                        const QIcon &icon, void (TfmCard::*handler)());
    void buildMenu();
    void buildToolBar();
    QWidget *buildCardGroup();
    QWidget *buildBottomRow();
    void arrangeTabOrder();
    QString fullName(const QString &chosen) const;

    CardListModel *m_model = nullptr;
    CardFilterModel *m_shown = nullptr;
    QString m_listFile;
    // The pair whose lock this window holds ("" for none), and how the files
    // were when last read or written here.
    QString m_lockedFile;
    std::optional<cardindex::PairStamp> m_stamp;
    cardlock::Holder me() const { return cardlock::me(m_lockMark); }
    QString m_lockMark;
    bool m_readOnly = false;
    // Nothing changed since the list was read, saved or emptied.
    bool m_pristine = true;
    QString m_readOnlyWhy;
    QToolButton *m_saveButton = nullptr;
    QHash<QObject *, QString> m_hints; // the usual hints of the editing controls
    // The entry the card in the edit fields was taken from; it follows the
    // entry when others are deleted and becomes invalid when the entry goes.
    QPersistentModelIndex m_takenOut;
    bool m_haveTakenOut = false;
    // The card whose examination the program holds: the one last taken out
    // (its entry, and the card as it was then, for when the entry is gone).
    QPersistentModelIndex m_examEntry;
    std::optional<THuman> m_examCard;
    bool isExaminedCard(int row) const;
    // Letters typed in the list, and when the last came.
    cardfilter::TypeAhead m_typeAhead;
    QElapsedTimer m_typedAt;
};
