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

    // Handlers
    void setStartValues(); // FormCreate
    void openCardIndex(); // FileNew1Execute
    void startNewPatient(); // NewClick
    void openDeepExamination(); // DeepItemClick
    void openExpressExamination(); // ExpressItemClick
    void openProjectionCharts(); // ShProektClick
    void openPupilDiagrams(); // tbPupilClick
    void openDraftConclusion(); // DraftItemClick
    void openFinalConclusion(); // CleanItemClick
    void openGuides(); // GuidItemClick
    void editConclusionHeader(); // CaptureItemClick
    void editSignature(); // SignatItemClick
    void showHelpContents(); // HelpNirelItemClick
    void showAboutBox(); // About1Click
    void exitProgram(); // Exit1Execute
    void showHint(const QString &hint); // StatusBar1Hint

    // The left pane's text for the current card window fields: "Пациент: "
    // and the three names, or "Пациент: не выбран" when they are empty.
    static QString patientPaneText();
    // Puts it into the left pane (once the card window exists).
    void showPatient();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The controls, under their written names (their object names too).
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

    // An action with the menu item's caption and hint, and the tooltip its
    // tool button shows.
    QAction *makeAction(const char *name, const QString &caption, const QString &menuHint, const QString &hint,
                        const QString &icon, void (TfmNirel3::*handler)());
    void buildMenu();
    void buildToolBars();
    void buildStatusBars();

    bool m_exitChecked = false;
};
