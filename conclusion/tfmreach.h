#pragma once
// The final conclusion editor: a small word processor in which the
// conclusion handed over by the draft window is formatted (fonts, sizes,
// styles, alignment, bullets, paragraph indents dragged on a ruler), saved
// as RTF, opened again and printed. Other windows reach it through
// conclusion/reachdoor.h only.
#include <QFrame>
#include <QList>
#include <QMainWindow>
#include <QTextCharFormat>
#include <QTextEdit>

#include <functional>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;

// The rich-text box. Files dropped on it go to the window instead of being
// inserted as their names.
class ReachEditor : public QTextEdit {
    Q_OBJECT
public:
    explicit ReachEditor(QWidget *parent = nullptr);
    // The formatting rectangle: a gutter left and right of the text.
    void setGutters(int left, int right) { setViewportMargins(left, 0, right, 0); }

signals:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// The tick scale under the tool bar: a bar at every tab stop, a thin line
// along the top edge.
class ReachRuler : public QFrame {
    Q_OBJECT
public:
    explicit ReachRuler(QWidget *parent = nullptr);
    QString caption;
    std::function<void()> onResize;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
};

// One indent marker on the ruler, drawn like the arrow glyphs of a symbol
// font: a filled arrow pointing down or up, or an outlined one pointing up.
class RulerMarker : public QWidget {
    Q_OBJECT
public:
    enum Shape { FilledDown, FilledUp, OutlinedUp };
    RulerMarker(Shape shape, QWidget *parent);

    std::function<void(RulerMarker *, int x)> onPress;
    std::function<void(RulerMarker *, int x)> onMove;
    std::function<void(RulerMarker *)> onRelease;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Shape m_shape;
};

class TfmReach : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmReach(QWidget *owner = nullptr);
    ~TfmReach() override;

    // Own state
    QString DocumentName;
    bool Refreshing = false;
    int DragOffset = 0;
    bool Dragging = false;

    // The screen resolution the ruler converts with (logical dots an inch).
    double dpi() const;

    // File commands
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FilePrint();
    void FilePreview();
    void FilePdf();
    void FileExit();
    // Edit commands
    void EditUndo();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void selectAllText(); // SelectAllItemClick
    void updateEditActions(); // ActionList2Update
    // Formatting commands
    void toggleBold(); // BoldButtonClick
    void toggleItalic(); // ItalicButtonClick
    void toggleUnderline(); // UnderlineButtonClick
    void applyFontName(); // FontNameChange
    void applyFontSize(); // FontSizeChange
    void alignParagraphs(int tag); // AlignButtonClick
    void toggleBullets(); // BulletsButtonClick
    void SelectFont();
    // Inserts the patient's iris photos at the caret, with or without the
    // chart fitted over them.
    void InsertIrisPhotos(bool withChart);
    // One eye at two visits side by side, with the pupil's measures.
    void InsertVisitComparison();
    void showHelp(); // HelpMenuClick

    // The window's own operations
    void ShowHint(const QString &hint);
    void SetDocumentName(const QString &name);
    bool OpenDocument(const QString &name);
    // false when the calling operation is to be abandoned: the user
    // cancelled, or answered Yes and the save did not happen (its dialog
    // cancelled, the file not written). The text then stays as it is.
    bool ConfirmSaveChanges();
    void ShowCaretPosition();
    void ShowModifiedState(bool modified);
    void LoadFontList();
    void BuildRulerTicks();
    void ApplyTextMargins();
    void HandleDroppedFiles(const QStringList &paths);
    void SelectionChange();
    void RichEditChange();

    // What formatting commands change: the selection's characters when at
    // least one is selected, otherwise the editor's default attributes.
    void mergeTargetAttributes(const QTextCharFormat &change);
    QTextCharFormat targetAttributes() const;
    QTextCharFormat defaultAttributes() const { return m_defAttributes; }

    // The hand-over: the editor emptied (keeping its default attributes)
    // and the clipboard pasted in. The document name stays.
    void replaceWithClipboard();

    // Ruler marker handlers (public for the tests that drag them).
    void pressRulerMarker(RulerMarker *marker, int x); // RulerItemMouseDown
    void dragRulerMarker(RulerMarker *marker, int x); // RulerItemMouseMove
    void setFirstIndent(); // FirstIndMouseUp
    void setLeftIndent(); // LeftIndMouseUp
    void setRightIndent(); // RightIndMouseUp
    void layOutRuler(); // RulerResize

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The controls, under their written names (their object names too).
    // Actions: ActionList1 (file), ActionList2 (edit)
    QList<QAction *> ActionList1;
    QList<QAction *> ActionList2;
    QAction *FileNewCmd = nullptr;
    QAction *FileOpenCmd = nullptr;
    QAction *FileSaveCmd = nullptr;
    QAction *FileSaveAsCmd = nullptr;
    QAction *FilePrintCmd = nullptr;
    QAction *FilePreviewCmd = nullptr;
    QAction *FilePdfCmd = nullptr;
    QAction *FileExitCmd = nullptr;
    QAction *EditUndoCmd = nullptr;
    QAction *EditCutCmd = nullptr;
    QAction *EditCopyCmd = nullptr;
    QAction *EditPasteCmd = nullptr;
    QAction *EditFontCmd = nullptr;
    // Menu
    QMenuBar *MainMenu = nullptr;
    QAction *SelectAllItem = nullptr;
    QAction *miEditFont = nullptr;
    QAction *miInsertPhotos = nullptr;      // the patient's irises
    QAction *miInsertPhotosChart = nullptr; // the same with the chart over them
    QAction *miInsertComparison = nullptr;  // one eye at two visits
    QAction *HelpMenu = nullptr;
    // Tool bar
    QToolBar *StandardToolBar = nullptr;
    QComboBox *FontName = nullptr;
    QLineEdit *FontSize = nullptr;
    QWidget *UpDown1 = nullptr;
    QToolButton *BoldButton = nullptr;
    QToolButton *ItalicButton = nullptr;
    QToolButton *UnderlineButton = nullptr;
    QToolButton *LeftAlign = nullptr;
    QToolButton *CenterAlign = nullptr;
    QToolButton *RightAlign = nullptr;
    QToolButton *BulletsButton = nullptr;
    QButtonGroup *AlignGroup = nullptr;
    // Ruler
    ReachRuler *Ruler = nullptr;
    RulerMarker *FirstInd = nullptr;
    RulerMarker *LeftInd = nullptr;
    RulerMarker *RightInd = nullptr;
    QFrame *RulerLine = nullptr;
    ReachEditor *Editor = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
    QLabel *StatusPanel2 = nullptr;

    QAction *makeAction(const char *name, const QString &caption, const QString &hint, const QKeySequence &key,
                        const QIcon &icon, void (TfmReach::*handler)());
    void buildMenu();
    void buildToolBar();
    void buildRuler();
    void buildStatusBar();
    void FormCreate();
    bool writeTo(const QString &name);
    // The saves behind "Сохранить" and "Сохранить как...": true when the
    // text is on disk.
    bool saveDocument();
    bool saveDocumentAs();
    // Where the file dialogs start: the working folder, then the folder of
    // the file last chosen.
    QString dialogFolder() const;
    void clearText();
    // Lists that start above 1 keep invisible items before their first
    // (rtf/rtfcommon.h): the caret passes them by, and text that ends up in
    // one is shown.
    void keepCaretOffHiddenItems();
    void applyParagraphIndents(int first, int left, int right);

    QTextCharFormat m_defAttributes;
    QString m_dialogFolder;
    int m_lastCaret = 0;
};
