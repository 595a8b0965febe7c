#include "conclusion/tfmreach.h"

#include "conclusion/reachfile.h"
#include "conclusion/reachruler.h"
#include "platform/controls.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "help/help.h"
#include "photos/overlay.h"
#include "photos/photodoor.h"
#include "platform/hints.h"
#include "rtf/rtfcommon.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

// The pictures live in a static library; nothing references them by symbol,
// so they are registered explicitly before the first is needed.
static void registerConclusionResources()
{
    Q_INIT_RESOURCE(conclusion);
}

namespace {

const QString kUntitled = QStringLiteral("Безымянный");
const QString kFilter = QStringLiteral("Rich Text Files (*.RTF)|*.RTF|Text Files (*.TXT)|*.TXT");
const QString kPdfFilter = QStringLiteral("Документ PDF (*.pdf)|*.pdf");

QStringList localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

// Small pictures of the tool bar.
QIcon toolIcon(const char *name)
{
    static const bool registered = (registerConclusionResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/conclusion/icons/") + QLatin1String(name) + QStringLiteral(".png"));
}

// Sets Refreshing for a scope and puts back what it was however the scope
// is left (refreshes nest: a refresh may run inside a text replacement).
class RefreshGuard {
public:
    explicit RefreshGuard(bool &flag)
        : m_flag(flag)
        , m_was(flag)
    {
        m_flag = true;
    }
    ~RefreshGuard() { m_flag = m_was; }

private:
    bool &m_flag;
    bool m_was;
};

} // namespace

// ---------------------------------------------------------------------------

ReachEditor::ReachEditor(QWidget *parent)
    : QTextEdit(parent)
{
}

void ReachEditor::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QTextEdit::dragEnterEvent(event);
}

void ReachEditor::dragMoveEvent(QDragMoveEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        QTextEdit::dragMoveEvent(event);
}

void ReachEditor::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty()) {
        QTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(files);
}

// ---------------------------------------------------------------------------

ReachRuler::ReachRuler(QWidget *parent)
    : QFrame(parent)
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(8);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setFixedHeight(26);
}

void ReachRuler::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Mid));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(Qt::black);
    // Tabs are expanded to stops eight average characters apart, so that a
    // bar stands at every stop.
    QTextOption option(Qt::AlignLeft | Qt::AlignVCenter);
    option.setTabStopDistance(8 * fontMetrics().averageCharWidth());
    option.setWrapMode(QTextOption::NoWrap);
    p.drawText(QRectF(rect()), caption, option);
}

void ReachRuler::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (onResize)
        onResize();
}

// ---------------------------------------------------------------------------

RulerMarker::RulerMarker(Shape shape, QWidget *parent)
    : QWidget(parent)
    , m_shape(shape)
{
    setCursor(Qt::SizeHorCursor);
}

void RulerMarker::paintEvent(QPaintEvent *)
{
    // An arrow filling the marker: a head two thirds of the height and a
    // shaft half the width, as the symbol font's arrows are drawn.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();
    const qreal head = std::round(h * 0.6);
    const qreal shaftL = std::round(w * 0.3);
    const qreal shaftR = w - shaftL;
    QPolygonF arrow;
    if (m_shape == FilledDown)
        arrow << QPointF(shaftL, 0) << QPointF(shaftR, 0) << QPointF(shaftR, h - head) << QPointF(w, h - head)
              << QPointF(w / 2, h) << QPointF(0, h - head) << QPointF(shaftL, h - head);
    else
        arrow << QPointF(w / 2, 0) << QPointF(w, head) << QPointF(shaftR, head) << QPointF(shaftR, h)
              << QPointF(shaftL, h) << QPointF(shaftL, head) << QPointF(0, head);
    if (m_shape == OutlinedUp) {
        // the outline inside the marker's pixels
        QTransform t;
        t.translate(0.5, 0.5);
        t.scale((w - 1) / w, (h - 1) / h);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(t.map(arrow));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawPolygon(arrow);
    }
}

void RulerMarker::mousePressEvent(QMouseEvent *event)
{
    if (onPress)
        onPress(this, int(event->position().x()));
}

void RulerMarker::mouseMoveEvent(QMouseEvent *event)
{
    if (onMove)
        onMove(this, int(event->position().x()));
}

void RulerMarker::mouseReleaseEvent(QMouseEvent *)
{
    if (onRelease)
        onRelease(this);
}

// ---------------------------------------------------------------------------

TfmReach::TfmReach(QWidget *owner)
    : QMainWindow(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmReach"));
    setAcceptDrops(true);

    QStyle *st = style();
    // ActionList1
    FileNewCmd = makeAction("FileNewCmd", QStringLiteral("Новый"), QStringLiteral("Создать новый файл"),
                            QKeySequence(QStringLiteral("Ctrl+N")), st->standardIcon(QStyle::SP_FileIcon),
                            &TfmReach::FileNew);
    FileOpenCmd = makeAction("FileOpenCmd", QStringLiteral("Открыть..."), QStringLiteral("Открыть существующий файл"),
                             QKeySequence(QStringLiteral("Ctrl+O")), st->standardIcon(QStyle::SP_DialogOpenButton),
                             &TfmReach::FileOpen);
    FileSaveCmd = makeAction("FileSaveCmd", QStringLiteral("Сохранить"), QStringLiteral("Сохранить текущий файл"),
                             QKeySequence(QStringLiteral("Ctrl+S")), st->standardIcon(QStyle::SP_DialogSaveButton),
                             &TfmReach::FileSave);
    FileSaveAsCmd = makeAction("FileSaveAsCmd", QStringLiteral("Сохранить как..."),
                               QStringLiteral("Сохранит текущий файл под новым именем"), {}, {}, &TfmReach::FileSaveAs);
    FilePrintCmd = makeAction("FilePrintCmd", QStringLiteral("Печать"), QStringLiteral("Печать текущего файла"),
                              QKeySequence(QStringLiteral("Ctrl+P")), toolIcon("print"), &TfmReach::FilePrint);
    FilePreviewCmd = makeAction("FilePreviewCmd", QStringLiteral("Предварительный просмотр"),
                                QStringLiteral("Просмотр текущего файла перед печатью"),
                                QKeySequence(QStringLiteral("Ctrl+F2")), {}, &TfmReach::FilePreview);
    FilePdfCmd = makeAction("FilePdfCmd", QStringLiteral("Экспорт в PDF..."),
                            QStringLiteral("Сохранить текущий файл в формате PDF"),
                            QKeySequence(QStringLiteral("Ctrl+E")), {}, &TfmReach::FilePdf);
    FileExitCmd = makeAction("FileExitCmd", QStringLiteral("Выход"),
                             QStringLiteral("Завершить работу с текстовым редактором"),
                             QKeySequence(QStringLiteral("Alt+X")), {}, &TfmReach::FileExit);
    ActionList1 = {FileNewCmd, FileOpenCmd, FileSaveCmd, FileSaveAsCmd, FilePrintCmd,
                   FilePreviewCmd, FilePdfCmd, FileExitCmd};
    // ActionList2
    EditUndoCmd = makeAction("EditUndoCmd", QStringLiteral("Отменить"), QStringLiteral("Отменить последнее действие"),
                             QKeySequence(QStringLiteral("Ctrl+Z")), toolIcon("undo"), &TfmReach::EditUndo);
    EditCutCmd = makeAction("EditCutCmd", QStringLiteral("Вырезать"), QStringLiteral("Вырезать выделенное"),
                            QKeySequence(QStringLiteral("Ctrl+X")), toolIcon("cut"), &TfmReach::EditCut);
    EditCopyCmd = makeAction("EditCopyCmd", QStringLiteral("Копировать"), QStringLiteral("Копировать выделенное в буфер"),
                             QKeySequence(QStringLiteral("Ctrl+C")), toolIcon("copy"), &TfmReach::EditCopy);
    EditPasteCmd = makeAction("EditPasteCmd", QStringLiteral("Вставить"), QStringLiteral("Вставить содержимое буфера"),
                              QKeySequence(QStringLiteral("Ctrl+V")), toolIcon("paste"), &TfmReach::EditPaste);
    EditFontCmd = makeAction("EditFontCmd", QStringLiteral("Шрифт..."), {}, {}, {}, &TfmReach::SelectFont);
    ActionList2 = {EditUndoCmd, EditCutCmd, EditCopyCmd, EditPasteCmd, EditFontCmd};

    Editor = new ReachEditor(this);
    platform::ui::describe(Editor, "Editor", QStringLiteral("Окончательное заключение"));
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setAutoFillBackground(true);
    Editor->setBackgroundRole(QPalette::Base);
    Editor->document()->setDocumentMargin(0);
    Editor->setTabChangesFocus(false);
    // The reader bounds a document's height for a text column this wide
    // (rtf/rtfcommon.h); a narrower one could make it taller than Qt lays out.
    Editor->setMinimumWidth(320);

    buildMenu();
    buildToolBar();
    buildRuler();
    buildStatusBar();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Ruler);
    layout->addWidget(Editor, 1);
    setCentralWidget(central);

    connect(Editor, &QTextEdit::selectionChanged, this, &TfmReach::SelectionChange);
    connect(Editor, &QTextEdit::cursorPositionChanged, this, &TfmReach::SelectionChange);
    connect(Editor, &QTextEdit::textChanged, this, &TfmReach::RichEditChange);
    connect(Editor, &ReachEditor::filesDropped, this, &TfmReach::HandleDroppedFiles);
    // The edit actions follow the editor and the clipboard, as an idle-time
    // update would.
    connect(Editor, &QTextEdit::selectionChanged, this, &TfmReach::updateEditActions);
    connect(Editor, &QTextEdit::undoAvailable, this, &TfmReach::updateEditActions);
    connect(Editor, &QTextEdit::textChanged, this, &TfmReach::updateEditActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TfmReach::updateEditActions);

    setFocusProxy(Editor);
    platform::place::outer(this, 74, 84, 630, 487);
    FormCreate();
}

TfmReach::~TfmReach()
{
    // Hints go back to their earlier home when the editor is gone (only at
    // the program's end, or between tests).
    HintHub::instance().setApplicationHandler(nullptr);
}

QAction *TfmReach::makeAction(const char *name, const QString &caption, const QString &hint,
                              const QKeySequence &key, const QIcon &icon, void (TfmReach::*handler)())
{
    auto *a = new QAction(icon, caption, this);
    a->setObjectName(QString::fromLatin1(name));
    platform::ui::setHint(a, hint);
    if (hint.isEmpty())
        a->setToolTip(QString(caption).remove(QLatin1Char('&')));
    if (!key.isEmpty())
        a->setShortcut(key);
    connect(a, &QAction::triggered, this, handler);
    addAction(a);
    return a;
}

void TfmReach::buildMenu()
{
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    MainMenu->setNativeMenuBar(false);
    setMenuBar(MainMenu);

    QMenu *file = MainMenu->addMenu(QStringLiteral("Файл"));
    file->setObjectName(QStringLiteral("FileMenu"));
    file->setToolTipsVisible(true);
    file->addAction(FileNewCmd);
    file->addAction(FileOpenCmd);
    file->addAction(FileSaveCmd);
    file->addAction(FileSaveAsCmd);
    file->addSeparator();
    file->addAction(FilePrintCmd);
    file->addAction(FilePreviewCmd);
    file->addAction(FilePdfCmd);
    file->addSeparator();
    file->addAction(FileExitCmd);

    QMenu *edit = MainMenu->addMenu(QStringLiteral("Править"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    edit->setToolTipsVisible(true);
    edit->addAction(EditUndoCmd);
    edit->addSeparator();
    edit->addAction(EditCutCmd);
    edit->addAction(EditCopyCmd);
    edit->addAction(EditPasteCmd);
    edit->addSeparator();
    SelectAllItem = edit->addAction(QStringLiteral("Выделить все"));
    SelectAllItem->setObjectName(QStringLiteral("SelectAllItem"));
    connect(SelectAllItem, &QAction::triggered, this, &TfmReach::selectAllText);
    edit->addSeparator();
    miEditFont = edit->addAction(QStringLiteral("Шрифт..."));
    miEditFont->setObjectName(QStringLiteral("miEditFont"));
    connect(miEditFont, &QAction::triggered, this, &TfmReach::SelectFont);
    edit->addSeparator();
    miInsertPhotos = edit->addAction(QStringLiteral("Вставить фото глаз"));
    miInsertPhotos->setObjectName(QStringLiteral("miInsertPhotos"));
    platform::ui::setHint(miInsertPhotos, QStringLiteral("Вставить фотографии радужек пациента"));
    connect(miInsertPhotos, &QAction::triggered, this, [this] { InsertIrisPhotos(false); });
    miInsertPhotosChart = edit->addAction(QStringLiteral("Вставить фото глаз со схемой"));
    miInsertPhotosChart->setObjectName(QStringLiteral("miInsertPhotosChart"));
    platform::ui::setHint(miInsertPhotosChart,
                QStringLiteral("Вставить фотографии радужек пациента со схемой проекционных зон"));
    connect(miInsertPhotosChart, &QAction::triggered, this, [this] { InsertIrisPhotos(true); });
    miInsertComparison = edit->addAction(QStringLiteral("Вставить сравнение осмотров"));
    miInsertComparison->setObjectName(QStringLiteral("miInsertComparison"));
    platform::ui::setHint(miInsertComparison,
                          QStringLiteral("Вставить снимки глаза на двух осмотрах рядом, с измерениями зрачка"));
    connect(miInsertComparison, &QAction::triggered, this, &TfmReach::InsertVisitComparison);

    HelpMenu = MainMenu->addAction(QStringLiteral("Помощь"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    connect(HelpMenu, &QAction::triggered, this, &TfmReach::showHelp);
}

void TfmReach::buildToolBar()
{
    StandardToolBar = new QToolBar(QStringLiteral("Стандартная"), this);
    StandardToolBar->setObjectName(QStringLiteral("StandardToolBar"));
    StandardToolBar->setMovable(false);
    StandardToolBar->setFloatable(false);
    StandardToolBar->setIconSize(QSize(16, 16));
    StandardToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, StandardToolBar);

    auto bound = [this](QAction *action, const char *name) {
        StandardToolBar->addAction(action);
        QWidget *w = StandardToolBar->widgetForAction(action);
        platform::ui::describe(w, name, action->text().remove(QLatin1Char('.')), action->statusTip());
    };
    // A separator is a gap; a divider is a gap with a line.
    auto gap = [this] {
        auto *spacer = new QWidget(StandardToolBar);
        spacer->setFixedWidth(8);
        StandardToolBar->addWidget(spacer);
    };
    auto toggle = [this](const char *name, const QString &accessible, const QString &hint, const QIcon &icon) {
        auto *b = new QToolButton(StandardToolBar);
        b->setIcon(icon);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        platform::ui::describe(b, name, accessible, hint);
        StandardToolBar->addWidget(b);
        return b;
    };

    bound(FileNewCmd, "NewButton");
    bound(FileOpenCmd, "OpenButton");
    bound(FileSaveCmd, "SaveButton");
    bound(FilePrintCmd, "PrintButton");
    StandardToolBar->addSeparator();
    bound(EditCutCmd, "CutButton");
    bound(EditCopyCmd, "CopyButton");
    bound(EditPasteCmd, "PasteButton");
    bound(EditUndoCmd, "UndoButton");
    gap();

    FontName = new QComboBox(StandardToolBar);
    platform::ui::describe(FontName, "FontName", QStringLiteral("Шрифт"), QStringLiteral("Выбрать шрифт"));
    FontName->setEditable(true);
    FontName->setInsertPolicy(QComboBox::NoInsert);
    FontName->setMaxVisibleItems(10);
    FontName->setMinimumWidth(140);
    FontName->setMaximumWidth(160);
    StandardToolBar->addWidget(FontName);
    gap();

    auto *sizeBox = new QWidget(StandardToolBar);
    auto *sizeLayout = new QHBoxLayout(sizeBox);
    sizeLayout->setContentsMargins(0, 0, 0, 0);
    sizeLayout->setSpacing(0);
    FontSize = new QLineEdit(QStringLiteral("0"), sizeBox);
    platform::ui::describe(FontSize, "FontSize", QStringLiteral("Размер шрифта"), QStringLiteral("Выбрать разиер шрифта"));
    FontSize->setFixedWidth(30);
    UpDown1 = new QWidget(sizeBox);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    auto *arrows = new QVBoxLayout(UpDown1);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    auto arrow = [this](const char *name, Qt::ArrowType type, const QString &accessible, int step) {
        auto *b = new QToolButton(UpDown1);
        b->setArrowType(type);
        b->setFixedSize(14, 10);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        platform::ui::describe(b, name, accessible);
        connect(b, &QToolButton::clicked, this, [this, step] {
            bool ok = false;
            const int value = FontSize->text().toInt(&ok);
            FontSize->setText(QString::number(qMax(0, (ok ? value : 0) + step)));
        });
        return b;
    };
    arrows->addWidget(arrow("UpDown1Up", Qt::UpArrow, QStringLiteral("Больше"), 1));
    arrows->addWidget(arrow("UpDown1Down", Qt::DownArrow, QStringLiteral("Меньше"), -1));
    sizeLayout->addWidget(FontSize);
    sizeLayout->addWidget(UpDown1);
    StandardToolBar->addWidget(sizeBox);
    gap();

    BoldButton = toggle("BoldButton", QStringLiteral("Полужирный"), QStringLiteral("Bold"),
                        toolIcon("bold"));
    ItalicButton = toggle("ItalicButton", QStringLiteral("Курсив"), QStringLiteral("Italic"),
                          toolIcon("italic"));
    UnderlineButton = toggle("UnderlineButton", QStringLiteral("Подчёркнутый"), QStringLiteral("Underline"),
                             toolIcon("underline"));
    StandardToolBar->addSeparator();
    LeftAlign = toggle("LeftAlign", QStringLiteral("По левому краю"), QStringLiteral("Выравнивание по левому краю"),
                       toolIcon("left"));
    CenterAlign = toggle("CenterAlign", QStringLiteral("По центру"), QStringLiteral("Выравнивание по центру"),
                         toolIcon("center"));
    RightAlign = toggle("RightAlign", QStringLiteral("По правому краю"),
                        QStringLiteral("Выравнивание по правому краю"), toolIcon("right"));
    StandardToolBar->addSeparator();
    BulletsButton = toggle("BulletsButton", QStringLiteral("Маркеры"), QStringLiteral("Маркеры"), toolIcon("bullets"));

    AlignGroup = new QButtonGroup(this);
    AlignGroup->setObjectName(QStringLiteral("AlignGroup"));
    AlignGroup->setExclusive(true);
    AlignGroup->addButton(LeftAlign, 0);
    AlignGroup->addButton(CenterAlign, 2);
    AlignGroup->addButton(RightAlign, 1);

    connect(BoldButton, &QToolButton::clicked, this, &TfmReach::toggleBold);
    connect(ItalicButton, &QToolButton::clicked, this, &TfmReach::toggleItalic);
    connect(UnderlineButton, &QToolButton::clicked, this, &TfmReach::toggleUnderline);
    connect(BulletsButton, &QToolButton::clicked, this, &TfmReach::toggleBullets);
    connect(AlignGroup, &QButtonGroup::idClicked, this, &TfmReach::alignParagraphs);
    connect(FontName, &QComboBox::activated, this, &TfmReach::applyFontName);
    connect(FontSize, &QLineEdit::textChanged, this, &TfmReach::applyFontSize);
}

void TfmReach::buildRuler()
{
    Ruler = new ReachRuler(this);
    Ruler->setObjectName(QStringLiteral("Ruler"));
    Ruler->setAccessibleName(QStringLiteral("Линейка"));

    RulerLine = new QFrame(Ruler);
    RulerLine->setObjectName(QStringLiteral("RulerLine"));
    RulerLine->setFrameShape(QFrame::HLine);
    RulerLine->setFrameShadow(QFrame::Sunken);
    RulerLine->setGeometry(4, 12, 100, 2);
    platform::ui::setHint(RulerLine, QStringLiteral("Управление параметрами строки"));
    RulerLine->setAccessibleName(QStringLiteral("Управление параметрами строки"));

    FirstInd = new RulerMarker(RulerMarker::FilledDown, Ruler);
    FirstInd->setObjectName(QStringLiteral("FirstInd"));
    FirstInd->setAccessibleName(QStringLiteral("Отступ первой строки"));
    FirstInd->setGeometry(2, 2, 10, 9);
    LeftInd = new RulerMarker(RulerMarker::FilledUp, Ruler);
    LeftInd->setObjectName(QStringLiteral("LeftInd"));
    LeftInd->setAccessibleName(QStringLiteral("Отступ слева"));
    LeftInd->setGeometry(2, 12, 10, 11);
    RightInd = new RulerMarker(RulerMarker::OutlinedUp, Ruler);
    RightInd->setObjectName(QStringLiteral("RightInd"));
    RightInd->setAccessibleName(QStringLiteral("Отступ справа"));
    RightInd->setGeometry(0, 14, 9, 12);

    for (RulerMarker *m : {FirstInd, LeftInd, RightInd}) {
        m->onPress = [this](RulerMarker *marker, int x) { pressRulerMarker(marker, x); };
        m->onMove = [this](RulerMarker *marker, int x) { dragRulerMarker(marker, x); };
        m->raise();
    }
    FirstInd->onRelease = [this](RulerMarker *) { setFirstIndent(); };
    LeftInd->onRelease = [this](RulerMarker *) { setLeftIndent(); };
    RightInd->onRelease = [this](RulerMarker *) { setRightIndent(); };
    Ruler->onResize = [this] { layOutRuler(); };
}

void TfmReach::buildStatusBar()
{
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAccessibleName(QStringLiteral("Строка состояния"));
    // "Измененный" fits its 60 pixels in a small condensed face.
    StatusBar->setFont(QFont(QStringLiteral("DejaVu Sans Condensed"), 7));
    auto panel = [this](const char *name, int width, Qt::Alignment align) {
        auto *l = new QLabel(StatusBar);
        l->setObjectName(QString::fromLatin1(name));
        l->setFixedWidth(width);
        l->setAlignment(align | Qt::AlignVCenter);
        // the status bar draws each panel's frame itself
        l->setFrameShape(QFrame::NoFrame);
        l->setMargin(0);
        l->setTextFormat(Qt::PlainText);
        StatusBar->addWidget(l);
        return l;
    };
    StatusPanel0 = panel("StatusPanel0", 120, Qt::AlignLeft);
    StatusPanel1 = panel("StatusPanel1", 60, Qt::AlignHCenter);
    StatusPanel2 = panel("StatusPanel2", 50, Qt::AlignLeft);
    setStatusBar(StatusBar);
}

void TfmReach::FormCreate()
{
    // From now on every window's hints show in this window's status bar.
    QPointer<TfmReach> self(this);
    HintHub::instance().setApplicationHandler([self](const QString &hint) {
        if (self)
            self->ShowHint(hint);
    });
    SetDocumentName(kUntitled);
    LoadFontList();
    BuildRulerTicks();
    SelectionChange();
    // The default attributes: the toolkit's default face and its height of
    // 8 points, through whole screen pixels and back.
    const double d = dpi();
    const int pixels = int(std::lround(8 * d / 72.0));
    const int points = int(std::lround(pixels * 72.0 / d));
    QTextCharFormat defaults;
    defaults.setFontFamilies({QStringLiteral("MS Sans Serif")});
    defaults.setFontPointSize(points);
    Editor->document()->setDefaultFont(QFont(QStringLiteral("MS Sans Serif"), points));
    mergeTargetAttributes(defaults);
    // Setting the attributes is no edit of the (still empty) document.
    Editor->document()->clearUndoRedoStacks();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    updateEditActions();
}

double TfmReach::dpi() const
{
    const int d = Editor ? Editor->logicalDpiX() : logicalDpiX();
    return d > 0 ? d : 96;
}

// --- Own operations ---------------------------------------------------------

void TfmReach::ShowHint(const QString &hint)
{
    if (hint.isEmpty())
        StatusBar->clearMessage();
    else
        StatusBar->showMessage(hint);
}

void TfmReach::SetDocumentName(const QString &name)
{
    DocumentName = name;
    setWindowTitle(QStringLiteral("%1 - %2").arg(QFileInfo(name).fileName(), QApplication::applicationName()));
}

bool TfmReach::OpenDocument(const QString &name)
{
    // The file is read into a document of its own, which the editor then
    // shows: a file that cannot be read leaves the text as it was, and the
    // reading is not slowed by the editor following every paragraph.
    QTextDocument *old = Editor->document();
    auto *fresh = new QTextDocument(Editor);
    fresh->setDefaultFont(old->defaultFont());
    fresh->setDocumentMargin(old->documentMargin());
    fresh->setIndentWidth(old->indentWidth());
    fresh->setDefaultTextOption(old->defaultTextOption());
    const conclusion::reachfile::Result r = conclusion::reachfile::load(name, fresh, dpi());
    if (!r.ok) {
        delete fresh;
        platform::ui::prompter().ask(this, QMessageBox::Critical, r.error, QMessageBox::Ok);
        return false;
    }
    {
        RefreshGuard guard(Refreshing);
        // The editor deletes the document it made itself; one read here
        // is deleted here.
        const bool readHere = old->parent() == Editor;
        Editor->setDocument(fresh);
        Editor->setCurrentCharFormat(m_defAttributes);
        if (readHere)
            delete old;
    }
    m_lastCaret = 0;
    Editor->setTextCursor(QTextCursor(Editor->document()));
    // A file read only in part is not the document's name: a save must not
    // replace the whole file by its beginning.
    SetDocumentName(r.whole ? name : kUntitled);
    Editor->setFocus();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    SelectionChange();
    updateEditActions();
    // What was read otherwise than written is told once, before anything
    // of it can be saved.
    if (!r.notice.isEmpty())
        platform::ui::inform(this, r.notice);
    return true;
}

bool TfmReach::ConfirmSaveChanges()
{
    if (!Editor->document()->isModified())
        return true;
    const QMessageBox::StandardButton answer =
        platform::ui::prompter().ask(this, QMessageBox::Question, QStringLiteral("Сохранить изменения в %1?").arg(DocumentName),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return saveDocument();
    return answer == QMessageBox::No;
}

void TfmReach::ShowCaretPosition()
{
    // Lines as the box shows them, long paragraphs wrapped.
    const QTextCursor cursor = Editor->textCursor();
    const int start = cursor.selectionStart();
    const QTextBlock caretBlock = Editor->document()->findBlock(start);
    int line = 0;
    for (QTextBlock b = Editor->document()->begin(); b.isValid() && b != caretBlock; b = b.next())
        if (b.isVisible())
            line += qMax(1, b.layout() ? b.layout()->lineCount() : 1);
    int lineStart = caretBlock.position();
    if (QTextLayout *layout = caretBlock.layout(); layout && layout->lineCount() > 0) {
        const QTextLine l = layout->lineForTextPosition(start - caretBlock.position());
        if (l.isValid()) {
            line += l.lineNumber();
            lineStart = caretBlock.position() + l.textStart();
        }
    }
    StatusPanel0->setText(QString::asprintf("Line: %3d   Col: %3d", line + 1, start - lineStart + 1));
}

void TfmReach::ShowModifiedState(bool modified)
{
    StatusPanel1->setText(modified ? QStringLiteral("Измененный") : QString());
}

void TfmReach::LoadFontList()
{
    QStringList families = QFontDatabase::families();
    families.sort();
    FontName->clear();
    FontName->addItems(families);
}

void TfmReach::BuildRulerTicks()
{
    QString ticks;
    for (int i = 0; i < 100; ++i)
        ticks += QStringLiteral("\t|");
    Ruler->caption = ticks;
    Ruler->update();
}

void TfmReach::ApplyTextMargins()
{
    // The text keeps the gutter on both sides of the box.
    Editor->setGutters(conclusion::reachruler::kGutter, conclusion::reachruler::kGutter);
}

void TfmReach::HandleDroppedFiles(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    if (!ConfirmSaveChanges())
        return;
    OpenDocument(paths.constFirst());
}

void TfmReach::RichEditChange()
{
    ShowModifiedState(Editor->document()->isModified());
}

void TfmReach::keepCaretOffHiddenItems()
{
    QTextCursor cursor = Editor->textCursor();
    QTextBlock block = cursor.block();
    const int now = cursor.position();
    const bool back = now < m_lastCaret;
    m_lastCaret = now;
    if (block.isVisible())
        return;
    if (block.length() > 1) {
        // Text joined into an invisible item (a paragraph joined to the one
        // before by Backspace): the item is shown.
        QTextBlockFormat f = block.blockFormat();
        f.clearProperty(rtf::kListPadProperty);
        QTextCursor(block).setBlockFormat(f);
        block.setVisible(true);
        Editor->document()->markContentsDirty(block.position(), block.length());
        return;
    }
    QTextBlock to = block;
    while (to.isValid() && !to.isVisible())
        to = back ? to.previous() : to.next();
    if (!to.isValid()) {
        to = block;
        while (to.isValid() && !to.isVisible())
            to = back ? to.next() : to.previous();
    }
    if (!to.isValid())
        return;
    const bool before = to.position() < block.position();
    cursor.setPosition(before ? to.position() + to.length() - 1 : to.position(),
                       cursor.hasSelection() ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    m_lastCaret = cursor.position();
    Editor->setTextCursor(cursor);
}

void TfmReach::SelectionChange()
{
    keepCaretOffHiddenItems();
    RefreshGuard guard(Refreshing);
    const QTextCursor cursor = Editor->textCursor();
    const QTextBlockFormat para = cursor.blockFormat();
    const conclusion::reachruler::Indents in = conclusion::reachruler::fromFormat(para, dpi());
    const double d = dpi();
    FirstInd->move(conclusion::reachruler::firstMarkerLeft(in, d), FirstInd->y());
    LeftInd->move(conclusion::reachruler::leftMarkerLeft(in, d), LeftInd->y());
    RightInd->move(conclusion::reachruler::rightMarkerLeft(in, Ruler->contentsRect().width(), d), RightInd->y());

    // The character attributes where the selection starts.
    QTextCursor at(Editor->document());
    at.setPosition(cursor.selectionStart());
    if (cursor.hasSelection())
        at.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat chars = cursor.hasSelection() ? at.charFormat() : Editor->currentCharFormat();
    BoldButton->setChecked(chars.fontWeight() >= QFont::DemiBold);
    ItalicButton->setChecked(chars.fontItalic());
    UnderlineButton->setChecked(chars.fontUnderline());
    BulletsButton->setChecked(cursor.currentList() != nullptr);
    qreal size = chars.fontPointSize();
    if (size <= 0)
        size = Editor->document()->defaultFont().pointSizeF();
    FontSize->setText(QString::number(int(std::lround(size))));
    const QStringList families = chars.fontFamilies().toStringList();
    FontName->setEditText(families.isEmpty() ? Editor->document()->defaultFont().family() : families.constFirst());

    const Qt::Alignment a = para.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignHCenter)
        CenterAlign->setChecked(true);
    else if (a & Qt::AlignRight)
        RightAlign->setChecked(true);
    else if (!(a & Qt::AlignJustify))
        LeftAlign->setChecked(true);
    else {
        // justified: none of the three is down
        AlignGroup->setExclusive(false);
        LeftAlign->setChecked(false);
        CenterAlign->setChecked(false);
        RightAlign->setChecked(false);
        AlignGroup->setExclusive(true);
    }
    ShowCaretPosition();
}

// --- Target attributes ------------------------------------------------------

QTextCharFormat TfmReach::targetAttributes() const
{
    const QTextCursor cursor = Editor->textCursor();
    if (!cursor.hasSelection())
        return m_defAttributes;
    QTextCursor at(Editor->document());
    at.setPosition(cursor.selectionStart());
    at.movePosition(QTextCursor::NextCharacter);
    return at.charFormat();
}

void TfmReach::mergeTargetAttributes(const QTextCharFormat &change)
{
    QTextCursor cursor = Editor->textCursor();
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(change);
        return;
    }
    // The default attributes: what typed and pasted text gets, and what the
    // text gets back after "Новый" or a hand-over.
    m_defAttributes.merge(change);
    Editor->mergeCurrentCharFormat(change);
}

void TfmReach::clearText()
{
    RefreshGuard guard(Refreshing);
    Editor->clear();
    Editor->setCurrentCharFormat(m_defAttributes);
}

void TfmReach::replaceWithClipboard()
{
    clearText();
    Editor->paste();
    SelectionChange();
}

// --- File commands ----------------------------------------------------------

void TfmReach::FileNew()
{
    // Unsaved edits are not thrown away without a question.
    if (!ConfirmSaveChanges())
        return;
    SetDocumentName(kUntitled);
    clearText();
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    SelectionChange();
}

QString TfmReach::dialogFolder() const
{
    return m_dialogFolder.isEmpty() ? QDir::currentPath() : m_dialogFolder;
}

void TfmReach::FileOpen()
{
    if (!ConfirmSaveChanges())
        return;
    const QString chosen = platform::ui::prompter().openFileName(this, platform::ui::FileRequest{{}, {}, kFilter, {}, dialogFolder()});
    if (chosen.isEmpty())
        return;
    m_dialogFolder = QFileInfo(chosen).absolutePath();
    OpenDocument(chosen);
    Editor->setReadOnly(false); // the dialog offers no read-only box
}

bool TfmReach::writeTo(const QString &name)
{
    const conclusion::reachfile::Result r = conclusion::reachfile::save(name, *Editor->document(), dpi());
    if (!r.ok)
        platform::ui::prompter().ask(this, QMessageBox::Critical, r.error, QMessageBox::Ok);
    return r.ok;
}

void TfmReach::FileSave()
{
    saveDocument();
}

void TfmReach::FileSaveAs()
{
    saveDocumentAs();
}

bool TfmReach::saveDocument()
{
    if (DocumentName == kUntitled)
        return saveDocumentAs();
    if (!writeTo(DocumentName))
        return false;
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

bool TfmReach::saveDocumentAs()
{
    const QString chosen = platform::ui::prompter().saveFileName(this, platform::ui::FileRequest{{}, {}, kFilter, {}, dialogFolder()});
    if (chosen.isEmpty())
        return false;
    m_dialogFolder = QFileInfo(chosen).absolutePath();
    if (QFileInfo::exists(chosen) &&
        platform::ui::prompter().ask(this, QMessageBox::Question, QStringLiteral("Переписать %1").arg(chosen),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) != QMessageBox::Yes)
        return false;
    if (!writeTo(chosen))
        return false;
    SetDocumentName(chosen);
    Editor->document()->setModified(false);
    ShowModifiedState(false);
    return true;
}

void TfmReach::FilePrint()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    if (platform::ui::prompter().exec(&dialog) != QDialog::Accepted)
        return;
    printer.setDocName(DocumentName);
    Editor->print(&printer);
}

void TfmReach::FilePreview()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(DocumentName);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PreviewDialog"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *p) { Editor->print(p); });
    platform::ui::prompter().exec(&dialog);
}

void TfmReach::FilePdf()
{
    const QString proposed = QFileInfo(DocumentName).completeBaseName() + QStringLiteral(".pdf");
    const QString chosen =
        platform::ui::prompter().saveFileName(this, platform::ui::FileRequest{{}, proposed, kPdfFilter, QStringLiteral("pdf"),
                                                          DocumentName == kUntitled ? dialogFolder()
                                                                                    : QFileInfo(DocumentName).absolutePath()});
    if (chosen.isEmpty())
        return;
    if (QFileInfo::exists(chosen) &&
        platform::ui::prompter().ask(this, QMessageBox::Question, QStringLiteral("Переписать %1").arg(chosen),
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) != QMessageBox::Yes)
        return;
    // Written whole through a save file, or not at all.
    QSaveFile file(chosen);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QPdfWriter writer(&file);
        writer.setTitle(QFileInfo(DocumentName).fileName());
        writer.setCreator(QApplication::applicationName());
        writer.setPageSize(QPageSize(QPageSize::A4));
        Editor->document()->print(&writer);
    }
    ok = ok && file.commit();
    if (!ok)
        platform::ui::prompter().ask(this, QMessageBox::Critical,
                           QStringLiteral("Не удалось записать файл %1: %2")
                               .arg(QDir::toNativeSeparators(chosen), file.errorString()),
                           QMessageBox::Ok);
}

void TfmReach::FileExit()
{
    close();
}

// --- Edit commands ----------------------------------------------------------

void TfmReach::EditUndo()
{
    Editor->undo();
}

void TfmReach::EditCut()
{
    Editor->cut();
}

void TfmReach::EditCopy()
{
    Editor->copy();
}

void TfmReach::EditPaste()
{
    Editor->paste();
}

void TfmReach::selectAllText()
{
    Editor->selectAll();
}

void TfmReach::updateEditActions()
{
    const bool selected = Editor->textCursor().hasSelection();
    EditCutCmd->setEnabled(selected);
    EditCopyCmd->setEnabled(EditCutCmd->isEnabled());
    EditUndoCmd->setEnabled(Editor->document()->isUndoAvailable());
    EditPasteCmd->setEnabled(Editor->canPaste());
}

// --- Formatting commands ----------------------------------------------------

void TfmReach::toggleBold()
{
    if (Refreshing)
        return;
    QTextCharFormat f;
    f.setFontWeight(BoldButton->isChecked() ? QFont::Bold : QFont::Normal);
    mergeTargetAttributes(f);
}

void TfmReach::toggleItalic()
{
    if (Refreshing)
        return;
    QTextCharFormat f;
    f.setFontItalic(ItalicButton->isChecked());
    mergeTargetAttributes(f);
}

void TfmReach::toggleUnderline()
{
    if (Refreshing)
        return;
    QTextCharFormat f;
    f.setFontUnderline(UnderlineButton->isChecked());
    mergeTargetAttributes(f);
}

void TfmReach::applyFontName()
{
    if (Refreshing || FontName->currentIndex() < 0)
        return;
    QTextCharFormat f;
    f.setFontFamilies({FontName->itemText(FontName->currentIndex())});
    mergeTargetAttributes(f);
}

void TfmReach::applyFontSize()
{
    if (Refreshing)
        return;
    bool ok = false;
    const int size = FontSize->text().toInt(&ok);
    if (!ok) {
        platform::ui::showMessage(this, QStringLiteral("'%1' is not a valid integer value").arg(FontSize->text()));
        return;
    }
    // A size the text cannot take (none, or beyond what any printer does)
    // changes nothing.
    if (size < 1 || size > 1638)
        return;
    QTextCharFormat f;
    f.setFontPointSize(size);
    mergeTargetAttributes(f);
}

void TfmReach::alignParagraphs(int tag)
{
    if (Refreshing)
        return;
    QTextBlockFormat f;
    f.setAlignment(tag == 1 ? Qt::AlignRight : tag == 2 ? Qt::AlignHCenter : Qt::AlignLeft);
    Editor->textCursor().mergeBlockFormat(f);
}

void TfmReach::toggleBullets()
{
    if (Refreshing)
        return;
    QTextCursor cursor = Editor->textCursor();
    cursor.beginEditBlock();
    if (BulletsButton->isChecked()) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        cursor.createList(list);
    } else {
        // Every paragraph of the selection leaves its list.
        QTextCursor walker(Editor->document());
        walker.setPosition(cursor.selectionStart());
        const int end = cursor.selectionEnd();
        while (true) {
            if (QTextList *list = walker.currentList())
                list->remove(walker.block());
            QTextBlockFormat plain = walker.blockFormat();
            plain.setIndent(0);
            walker.setBlockFormat(plain);
            if (walker.block().position() + walker.block().length() > end || !walker.movePosition(QTextCursor::NextBlock))
                break;
        }
    }
    cursor.endEditBlock();
}

void TfmReach::SelectFont()
{
    // The dialog starts from the attributes at the selection or the caret.
    const QTextCharFormat current =
        Editor->textCursor().hasSelection() ? targetAttributes() : Editor->currentCharFormat();
    QFont initial = current.font();
    if (current.fontPointSize() <= 0)
        initial.setPointSizeF(Editor->document()->defaultFont().pointSizeF());
    QFontDialog dialog(initial, this);
    dialog.setObjectName(QStringLiteral("FontDialog1"));
    if (platform::ui::prompter().exec(&dialog) == QDialog::Accepted) {
        const QFont f = dialog.selectedFont();
        QTextCharFormat change;
        change.setFontFamilies({f.family()});
        if (f.pointSizeF() > 0)
            change.setFontPointSize(f.pointSizeF());
        change.setFontWeight(f.bold() ? QFont::Bold : QFont::Normal);
        change.setFontItalic(f.italic());
        change.setFontUnderline(f.underline());
        change.setFontStrikeOut(f.strikeOut());
        mergeTargetAttributes(change);
    }
    SelectionChange();
    Editor->setFocus();
}

void TfmReach::InsertIrisPhotos(bool withChart)
{
    const QList<photos::Picture> pictures = photos::photo::conclusionPictures(withChart);
    if (pictures.isEmpty()) {
        platform::ui::showMessage(this, QStringLiteral("У пациента нет фотографий глаз: добавьте их в окне \"Фото\" "
                                             "картотеки"));
        return;
    }
    QTextCursor cursor = Editor->textCursor();
    photos::insertPictures(cursor, pictures);
    Editor->setTextCursor(cursor);
}

void TfmReach::InsertVisitComparison()
{
    const photos::photo::Comparison comparison = photos::photo::comparisonPictures(false);
    if (comparison.pictures.isEmpty()) {
        platform::ui::showMessage(this, QStringLiteral("Сравнивать нечего: нужны снимки одного глаза на двух осмотрах "
                                                       "(окно \"Фото\" картотеки)"));
        return;
    }
    QTextCursor cursor = Editor->textCursor();
    cursor.beginEditBlock();
    for (qsizetype i = 0; i + 1 < comparison.pictures.size(); i += 2)
        photos::insertPictures(cursor, comparison.pictures.mid(i, 2));
    for (const QString &change : comparison.changes) {
        cursor.insertText(change);
        cursor.insertBlock();
    }
    cursor.endEditBlock();
    Editor->setTextCursor(cursor);
}

void TfmReach::showHelp()
{
    help::showContext(help::kEditorContext);
}

// --- Ruler ------------------------------------------------------------------

void TfmReach::pressRulerMarker(RulerMarker *marker, int x)
{
    DragOffset = marker->width() / 2;
    marker->move(marker->x() + x - DragOffset, marker->y());
    Dragging = true;
}

void TfmReach::dragRulerMarker(RulerMarker *marker, int x)
{
    if (Dragging)
        marker->move(marker->x() + x - DragOffset, marker->y());
}

void TfmReach::applyParagraphIndents(int first, int left, int right)
{
    QTextBlockFormat f = Editor->textCursor().blockFormat();
    conclusion::reachruler::toFormat({first, left, right}, f, dpi());
    QTextBlockFormat change;
    change.setLeftMargin(f.leftMargin());
    change.setTextIndent(f.textIndent());
    change.setRightMargin(f.rightMargin());
    Editor->textCursor().mergeBlockFormat(change);
}

void TfmReach::setFirstIndent()
{
    Dragging = false;
    const conclusion::reachruler::Indents now = conclusion::reachruler::fromFormat(Editor->textCursor().blockFormat(), dpi());
    const int first = conclusion::reachruler::firstIndentAt(FirstInd->x(), DragOffset, dpi());
    applyParagraphIndents(first, now.left, now.right);
    setLeftIndent();
}

void TfmReach::setLeftIndent()
{
    Dragging = false;
    const conclusion::reachruler::Indents now = conclusion::reachruler::fromFormat(Editor->textCursor().blockFormat(), dpi());
    const int left = conclusion::reachruler::leftIndentAt(LeftInd->x(), DragOffset, now.first, dpi());
    applyParagraphIndents(now.first, left, now.right);
    SelectionChange();
}

void TfmReach::setRightIndent()
{
    Dragging = false;
    const conclusion::reachruler::Indents now = conclusion::reachruler::fromFormat(Editor->textCursor().blockFormat(), dpi());
    const int right = conclusion::reachruler::rightIndentAt(RightInd->x(), DragOffset, Ruler->contentsRect().width(), dpi());
    applyParagraphIndents(now.first, now.left, right);
    SelectionChange();
}

void TfmReach::layOutRuler()
{
    RulerLine->setGeometry(RulerLine->x(), RulerLine->y(), Ruler->contentsRect().width() - 2 * RulerLine->x(),
                           RulerLine->height());
}

// --- Window events ----------------------------------------------------------

void TfmReach::closeEvent(QCloseEvent *event)
{
    // When the program ends (its main window, at the top of the owners,
    // already closed) no window is asked whether it may close.
    const QWidget *top = this;
    while (top->parentWidget())
        top = top->parentWidget();
    if (top != this && !top->isVisible()) {
        event->accept();
        return;
    }
    if (!ConfirmSaveChanges()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TfmReach::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    ShowCaretPosition();
    setAcceptDrops(true);
    ShowModifiedState(Editor->document()->isModified());
    Editor->setFocus();
    const QString named = conclusion::reachfile::commandLineDocument(QCoreApplication::arguments());
    if (!named.isEmpty())
        OpenDocument(named);
}

void TfmReach::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    ApplyTextMargins();
    SelectionChange();
}

void TfmReach::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfmReach::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    event->acceptProposedAction(); // the drop is always released
    HandleDroppedFiles(files);
}
