#pragma once
// The main window: a bar at the top of the screen with the main menu, two
// tool bars and two status bars, from which every other window is opened.
#include <QMainWindow>

class QAction;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;

class TfmNirel3 : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmNirel3(QWidget *parent = nullptr);

    // ActionList2
    QAction *Card = nullptr;
    QAction *NewPatient = nullptr;
    // ActionList3
    QAction *ExamDeep = nullptr;
    QAction *ExamExpr = nullptr;
    QAction *SchmZone = nullptr;
    QAction *CnclDraft = nullptr;
    QAction *CnclEdit = nullptr;
    QAction *Guid = nullptr;
    QAction *HelpNirel3 = nullptr;
    QAction *Pupil = nullptr;
    QAction *AboutNirel3 = nullptr;
    QAction *Exit1 = nullptr;

    QMenuBar *MainMenu1 = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QToolBar *ToolBar3 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QStatusBar *StatusBar2 = nullptr;

    // Handlers
    void FormCreate();
    void FileNew1Execute();
    void NewClick();
    void DeepItemClick();
    void ExpressItemClick();
    void ShProektClick();
    void tbPupilClick();
    void DraftItemClick();
    void CleanItemClick();
    void GuidItemClick();
    void CaptureItemClick();
    void SignatItemClick();
    void HelpNirelItemClick();
    void About1Click();
    void Exit1Execute();
    void StatusBar1Hint(const QString &hint);

    // The left pane's text for the current card window fields: "Пациент: "
    // and the three names, or "Пациент: не выбран" when they are empty.
    static QString patientPaneText();
    // Puts it into the left pane (once the card window exists).
    void showPatient();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // An action with the menu item's caption and hint, and the tooltip its
    // tool button shows.
    QAction *makeAction(const char *name, const QString &caption, const QString &menuHint, const QString &hint,
                        const QString &icon, void (TfmNirel3::*handler)());
    void buildMenu();
    void buildToolBars();
    void buildStatusBars();

    bool m_exitChecked = false;
};
