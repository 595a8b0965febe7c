#pragma once
// The card index window: the list of patients of the open card index, the
// card taken out into edit fields, and the link to the patient's conclusion.
// Other windows read the patient's names, date and conclusion file from the
// edit fields, so those are the program's record of the current patient.
#include "cards/human.h"

#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QWidget>

class AgeSpinBox;
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

    QLabel *labelCard = nullptr;
    QGroupBox *gbPersons = nullptr;
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
    // Row of the selected entry, or -1.
    int selectedRow() const;
    void selectRow(int row);
    // Full name of the list file last opened or saved ("" after "Очистить").
    QString listFileName() const { return m_listFile; }

    // The edit fields as a record, and back.
    THuman fieldsToRecord() const;
    void recordToFields(const THuman &h);
    void clearFields();
    // True when every edit field is empty, as after a write-back.
    bool fieldsEmpty() const;

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

private:
    QAction *makeAction(const char *name, const QString &caption, const QString &hint,
                        const QIcon &icon, void (TfmCard::*handler)());
    void buildMenu();
    void buildToolBar();
    QWidget *buildCardGroup();
    QWidget *buildBottomRow();
    void arrangeTabOrder();
    QString fullName(const QString &chosen) const;

    CardListModel *m_model = nullptr;
    QString m_listFile;
    // The entry the card in the edit fields was taken from; it follows the
    // entry when others are deleted and becomes invalid when the entry goes.
    QPersistentModelIndex m_takenOut;
    bool m_haveTakenOut = false;
};
