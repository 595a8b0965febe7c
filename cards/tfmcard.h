#pragma once
// The card index window, a view of the card index (state/cardindex.h): the
// list of patients, the card taken out into edit fields, and the link to the
// patient's conclusion. It asks the user and calls the card index; what it
// shows follows the card index's signals. Other windows read the patient's
// names, date and conclusion file from the edit fields, so those are the
// program's record of the current patient.
#include "state/cardfilter.h"
#include "state/cardindex.h"
#include "state/human.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

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
    // A view of the program's card index, or of one of its own (taken over:
    // a second workstation, in tests).
    explicit TfmCard(QWidget *owner = nullptr, state::cards::CardIndex *own = nullptr);

    // The card index shown, and its entries (display texts and records).
    state::cards::CardIndex *index() const { return m_index; }
    CardListModel *model() const { return m_index->model(); }
    // The entries the list shows (all, or those the search lets through).
    CardFilterModel *shown() const { return m_shown; }
    // Row (in the whole list) of the selected entry, or -1.
    int selectedRow() const;
    // Selects an entry by its row in the whole list; an entry the search
    // hides is shown by emptying the search field.
    void selectRow(int row);
    bool readOnly() const { return m_index->readOnly(); }
    QString listFileName() const { return m_index->listFileName(); }

    // The edit fields as a record, and back.
    THuman fieldsToRecord() const;
    void recordToFields(const THuman &h);
    void clearFields();
    // True when every edit field is empty, as after a write-back.
    bool fieldsEmpty() const;

public slots:
    void openCardIndex(); // mmFileOpenClick
    void saveCardIndex(); // mmFileSaveClick
    void clearCardIndex(); // mmFileClearClick
    void addCard(); // ToolButton5Click: "Новая"
    void takeOutCard(); // ToolButton6Click: "Править"
    void writeBackCard(); // ToolButton7Click: "Записать"
    void deleteCard(); // ToolButton8Click: "Удалить"
    void showPhotos(); // CardPhotoClick: "Фото"
    void openConclusion(); // bbCnclCardClick
    void showHelp(); // bbHelpCardClick
    void chooseDate(); // SpeedButton1Click
    void restoreBackup(); // bbBackupsClick: "Копии": restore a backup
    void takeOutFound(); // edSearchReturn: Enter in the search field

private:
    // The controls, under their written names (their object names too).
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

    // Makes sure the card index may write the pair (taking its lock, asking
    // about somebody else's); for opening, reading only may be chosen.
    // Cancelled: nullopt.
    std::optional<state::cards::CardIndex::Access> claim(const QString &listFile, bool forSaving);
    // The read-only mark and the hints of what reading only changes.
    void showReadOnly();
    void showFileName();
    // Before the list is replaced (another card index opened, a backup
    // restored): with a card taken out or the card index unsaved, asks to
    // save first; false when the user cancels or the save did not happen.
    bool settleUnsavedWork(const QString &before);
    // Whether to write over files another program changed (message says which).
    bool replaceChanged(const QString &message);
    // After a save or a restore: what the user must be told; true when done.
    bool reportWritten(const state::cardindex::WriteResult &written);
    bool eventFilter(QObject *watched, QEvent *event) override;
    QAction *makeAction(const char *name, const QString &caption, const QString &hint,
                        const QIcon &icon, void (TfmCard::*handler)());
    void buildMenu();
    void buildToolBar();
    QWidget *buildCardGroup();
    QWidget *buildBottomRow();
    void arrangeTabOrder();
    QString fullName(const QString &chosen) const;

    state::cards::CardIndex *m_index = nullptr;
    CardFilterModel *m_shown = nullptr;
    QToolButton *m_saveButton = nullptr;
    QHash<QObject *, QString> m_hints; // the usual hints of the editing controls
    // Letters typed in the list, and when the last came.
    state::cardfilter::TypeAhead m_typeAhead;
    QElapsedTimer m_typedAt;
};
