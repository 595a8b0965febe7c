#pragma once
// The deep examination window: signs are chosen per eye from the catalogue
// menus into the sign box, their pathologies appear in the pathology box, and
// "Заключение" records both into the examination and writes the preliminary
// conclusion into the draft window.
#include "platform/memo.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QMenuBar;
class QPushButton;
class QRadioButton;

class TfmDeep : public QWidget {
    Q_OBJECT
public:
    explicit TfmDeep(QWidget *owner = nullptr);

    // The eleven items of cbSystems and its text at start.
    static QStringList systemItems();
    static QString systemsText();

    // Clicks the sign catalogue's menu item of that name; false when there
    // is none.
    bool chooseItem(const QString &name);

public slots:
    void recordSign(); // bbOKDeepClick
    void showHelp(); // bbHelpDeepClick

private:
    // The sign catalogue's menus.
    QMenuBar *MenuDeep = nullptr;
    QGroupBox *gbEye = nullptr;
    QRadioButton *rbRight = nullptr;
    QRadioButton *rbLeft = nullptr;
    QGroupBox *gbSign = nullptr;
    Memo *mmSign = nullptr;
    QGroupBox *gbPathology = nullptr;
    Memo *mmPathology = nullptr;
    QFrame *Panel1Deep = nullptr;
    QComboBox *cbSystems = nullptr;
    QPushButton *bbOKDeep = nullptr;
    QPushButton *bbHelpDeep = nullptr;
};
