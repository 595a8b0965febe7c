#include "cards/tfmcard.h"

#include "cards/agespinbox.h"
#include "cards/tfmbackups.h"
#include "cards/tfmcalendar.h"
#include "conclusion/concldoor.h"
#include "conclusion/newpatient.h"
#include "help/help.h"
#include "photos/photodoor.h"
#include "platform/codepagefield.h"
#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "platform/textfile.h"
#include "platform/titlebar.h"
#include "state/cardbackup.h"
#include "state/carddoor.h"
#include "state/cardfilter.h"
#include "state/cardindexfile.h"
#include "state/cardlistmodel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

// The pictures live in a static library; nothing references them by symbol,
// so they are registered explicitly before the first is needed.
static void registerCardsResources()
{
    Q_INIT_RESOURCE(cards);
}

namespace {

const QString kNewPatient = QStringLiteral("Новый пациент");
const QString kCardHint = QStringLiteral("Данные о пациенте");

// A small calendar leaf for the date field's button.
QIcon calendarIcon()
{
    static const bool registered = (registerCardsResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/cards/icons/calendar.png"));
}

// Where a save had to write "?" for characters the code page cannot hold.
QString unstorableReport(const QStringList &places)
{
    constexpr qsizetype kShown = 10;
    QString text = QStringLiteral("Картотека сохранена, но знаки, которых нет в кодировке Windows-1251, "
                                  "записаны как «?»:");
    for (qsizetype i = 0; i < places.size() && i < kShown; ++i)
        text += QStringLiteral("\n") + places.at(i);
    if (places.size() > kShown)
        text += QStringLiteral("\nи ещё %1").arg(places.size() - kShown);
    return text;
}

// A record that holds somebody: neither empty nor the card "Новая" makes.
bool holdsPatient(const THuman &h)
{
    return h != THuman() && h != THuman(kNewPatient);
}

const QString kSearchHint = QStringLiteral("Поиск по фамилии: список покажет пациентов, чья фамилия начинается "
                                           "с набранных букв; Enter — взять найденную карточку (Ctrl+F)");
const QString kBackupsHint = QStringLiteral("Восстановить картотеку из резервной копии (копия делается при "
                                            "каждом сохранении)");

} // namespace

TfmCard::TfmCard(QWidget *owner, state::cards::CardIndex *own)
    : QWidget(owner, platform::ui::titleBar(Qt::Window, Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint))
    , m_index(own ? own : &state::cards::cardIndex())
{
    setObjectName(QStringLiteral("fmCard"));
    setWindowTitle(QStringLiteral("Картотека"));

    m_shown = new CardFilterModel(m_index->model(), this);

    QStyle *st = style();
    FileOpen = makeAction("FileOpen", QStringLiteral("Открыть"), QStringLiteral("Открыть файл"),
                          st->standardIcon(QStyle::SP_DialogOpenButton), &TfmCard::openCardIndex);
    FileSave = makeAction("FileSave", QStringLiteral("Сохранить"), QStringLiteral("Сохранить файл на диске"),
                          st->standardIcon(QStyle::SP_DialogSaveButton), &TfmCard::saveCardIndex);
    FileClear = makeAction("FileClear", QStringLiteral("Очистить"), QStringLiteral("Очистить окно картотеки"),
                           st->standardIcon(QStyle::SP_DialogResetButton), &TfmCard::clearCardIndex);
    CardNew = makeAction("CardNew", QStringLiteral("Новая"), QStringLiteral("Завести новую карточку"),
                         st->standardIcon(QStyle::SP_FileIcon), &TfmCard::addCard);
    CardEdit = makeAction("CardEdit", QStringLiteral("Править"), QStringLiteral("Взять карточку из списка"),
                          st->standardIcon(QStyle::SP_ArrowDown), &TfmCard::takeOutCard);
    CardWrite = makeAction("CardWrite", QStringLiteral("Записать"), QStringLiteral("Поместить карточку в список"),
                           st->standardIcon(QStyle::SP_ArrowUp), &TfmCard::writeBackCard);
    CardDelete = makeAction("CardDelete", QStringLiteral("Удалить"), QStringLiteral("Удалить карточку"),
                            st->standardIcon(QStyle::SP_TrashIcon), &TfmCard::deleteCard);
    CardPhoto = makeAction("CardPhoto", QStringLiteral("&Фото"), QStringLiteral("Фотографии глаз пациента"),
                           photos::photo::icon(), &TfmCard::showPhotos);

    buildMenu();
    buildToolBar();

    labelCard = platform::ui::makePlainLabel(state::cardindex::kLabelCaption, this);
    // No fixed accessible name: a screen reader reads the label's text, file name and all.
    labelCard->setObjectName(QStringLiteral("labelCard"));
    // A long file name goes onto a second line (after "Картотека:" or
    // " ...") rather than widening the window or being cut off.
    labelCard->setWordWrap(true);
    labelCard->setMinimumWidth(1);
    bbBackups = new QToolButton(this);
    platform::ui::describe(bbBackups, "bbBackups", QStringLiteral("Копии"), kBackupsHint);
    bbBackups->setText(QStringLiteral("&Копии…")); // Alt+К: the button takes no focus
    bbBackups->setAutoRaise(true);
    bbBackups->setFocusPolicy(Qt::NoFocus);
    connect(bbBackups, &QToolButton::clicked, this, &TfmCard::restoreBackup);

    gbPersons = new QGroupBox(QStringLiteral("Пациенты:"), this);
    platform::ui::describe(gbPersons, "gbPersons", QStringLiteral("Пациенты:"), {});
    PersonsList = new QListView(gbPersons);
    platform::ui::describe(PersonsList, "PersonsList", QStringLiteral("Пациенты:"), QStringLiteral("Список пациентов"));
    PersonsList->setModel(m_shown);
    PersonsList->setSelectionMode(QAbstractItemView::SingleSelection);
    PersonsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PersonsList->setUniformItemSizes(true);
    PersonsList->setTextElideMode(Qt::ElideRight);
    // Letters typed in the list jump to a patient.
    PersonsList->installEventFilter(this);

    edSearch = new QLineEdit(this);
    platform::ui::describe(edSearch, "edSearch", QStringLiteral("Поиск по фамилии"), kSearchHint);
    edSearch->setPlaceholderText(QStringLiteral("Поиск"));
    edSearch->setClearButtonEnabled(true);
    platform::ui::keepToCodePage(edSearch);
    for (QToolButton *clear : edSearch->findChildren<QToolButton *>())
        platform::ui::describe(clear, "edSearchClear", QStringLiteral("Очистить поиск"), QStringLiteral("Показать всех пациентов"));
    // Out of the tab order, which runs from the list through the card; it
    // is reached with Ctrl+F or a click.
    edSearch->setFocusPolicy(Qt::ClickFocus);
    edSearch->installEventFilter(this);
    connect(edSearch, &QLineEdit::textChanged, this, [this](const QString &text) {
        const int selected = selectedRow();
        m_shown->setFilterText(text);
        if (const int row = m_shown->rowOf(selected); row >= 0)
            PersonsList->selectionModel()->setCurrentIndex(m_shown->index(row), QItemSelectionModel::ClearAndSelect);
    });
    connect(edSearch, &QLineEdit::returnPressed, this, &TfmCard::takeOutFound);
    auto *find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, [this] {
        edSearch->setFocus(Qt::ShortcutFocusReason);
        edSearch->selectAll();
    });
    addAction(find);

    lbReadOnly = new QLabel(QStringLiteral("только чтение"), this);
    lbReadOnly->setObjectName(QStringLiteral("lbReadOnly"));
    lbReadOnly->setAccessibleName(QStringLiteral("Только для чтения"));
    lbReadOnly->setStyleSheet(QStringLiteral("color: #a01010; font-weight: bold;"));
    lbReadOnly->hide();

    auto *personsLayout = new QVBoxLayout(gbPersons);
    personsLayout->setContentsMargins(4, 0, 4, 3);
    PersonsList->setMinimumHeight(52);
    personsLayout->addWidget(PersonsList);

    // The window's size is fixed: the search field and "Копии" share the
    // tool bar's row, the read-only mark the label's.
    auto *topRow = new QHBoxLayout;
    topRow->setSpacing(4);
    topRow->addWidget(ToolBar1);
    topRow->addWidget(edSearch, 1);
    topRow->addWidget(bbBackups);
    auto *labelRow = new QHBoxLayout;
    labelRow->setSpacing(6);
    labelRow->addWidget(labelCard, 1);
    labelRow->addWidget(lbReadOnly, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->setSpacing(2);
    layout->setMenuBar(MainMenu1);
    // The photos of the selected card, at the end of the tool bar's row; like
    // the tool buttons it takes no focus, Alt+Ф presses it.
    bbPhotoCard = new QToolButton(this);
    bbPhotoCard->setDefaultAction(CardPhoto);
    bbPhotoCard->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bbPhotoCard->setAutoRaise(true);
    bbPhotoCard->setFocusPolicy(Qt::NoFocus);
    platform::ui::describe(bbPhotoCard, "bbPhotoCard", QStringLiteral("Фото"), CardPhoto->statusTip());
    topRow->addWidget(bbPhotoCard);
    layout->addLayout(topRow);
    layout->addLayout(labelRow);
    layout->addWidget(gbPersons, 1);
    layout->addWidget(buildCardGroup());
    layout->addWidget(buildBottomRow());

    arrangeTabOrder();
    platform::place::outer(this, 1, 96, 373, 469);
    // What is typed is the current patient, which the card index holds.
    for (QLineEdit *field : {EditDate, FNameEdit, LNameEdit, MNameEdit, DocEdit, AddrEdit, PhoneEdit, ComplaintEdit,
                             AnamnesisEdit, ConclEdit})
        connect(field, &QLineEdit::textChanged, this, [this] { m_index->editCard(fieldsToRecord()); });
    connect(AgeEdit, &AgeSpinBox::textChanged, this, [this] { m_index->editCard(fieldsToRecord()); });

    // The usual hints of what reading only changes, to put back after.
    m_hints.insert(FileSave, FileSave->statusTip());
    for (QToolButton *b : ToolBar1->findChildren<QToolButton *>()) {
        if (b->defaultAction() == FileSave) {
            m_saveButton = b;
            m_hints.insert(b, b->toolTip());
        }
    }
    m_hints.insert(bbBackups, bbBackups->toolTip());

    // What the card index holds, as it changes.
    connect(m_index, &state::cards::CardIndex::readOnlyChanged, this, &TfmCard::showReadOnly);
    for (auto changed : {&state::cards::CardIndex::opened, &state::cards::CardIndex::saved})
        connect(m_index, changed, this, &TfmCard::showFileName);
    connect(m_index, &state::cards::CardIndex::cleared, this, &TfmCard::showFileName);
    connect(m_index, &state::cards::CardIndex::conclFileChanged, ConclEdit, &QLineEdit::setText);
    showFileName();
    if (m_index->readOnly())
        showReadOnly();
    if (m_index->card() != THuman())
        recordToFields(m_index->card());
    // A card index of its own goes with the window, after the views of it.
    if (own)
        own->setParent(this);
}

QAction *TfmCard::makeAction(const char *name, const QString &caption, const QString &hint,
                             const QIcon &icon, void (TfmCard::*handler)())
{
    auto *a = new QAction(icon, caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setStatusTip(hint);
    a->setToolTip(hint);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

void TfmCard::buildMenu()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);

    auto submenu = [this](const char *name, const QString &caption) {
        QMenu *m = MainMenu1->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m->setToolTipsVisible(true);
        return m;
    };
    // The menu holds the actions themselves (the tool bar's too), so an item
    // follows its action when reading only switches it off or changes its hint.
    QMenu *file = submenu("mmFile", QStringLiteral("Картотека"));
    file->addActions({FileOpen, FileSave, FileClear}); // items mmFileOpen, mmFileSave, mmFileClear
    QMenu *card = submenu("mmCard", QStringLiteral("Карточка"));
    card->addActions({CardNew, CardEdit, CardWrite, CardDelete}); // mmCardAdd, mmCardEdit, mmCardSave, mmCardDelete
}

void TfmCard::buildToolBar()
{
    ToolBar1 = new QToolBar(QStringLiteral("Картотека"), this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContentsMargins(0, 0, 0, 0);

    // A tool button may carry a hint of its own instead of its action's.
    auto button = [this](QAction *action, const char *name, const QString &ownHint) {
        auto *b = new QToolButton(ToolBar1);
        b->setDefaultAction(action);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(true);
        const QString hint = ownHint.isEmpty() ? action->statusTip() : ownHint;
        platform::ui::describe(b, name, action->text(), hint);
        ToolBar1->addWidget(b);
    };
    button(FileOpen, "ToolButton1", QStringLiteral("Открыть картотеку"));
    button(FileSave, "ToolButton2", QStringLiteral("Сохранить картотеку на диске"));
    ToolBar1->addSeparator();
    button(CardNew, "ToolButton5", {});
    button(CardEdit, "ToolButton6", QStringLiteral("Взять карточку из картотеки"));
    button(CardWrite, "ToolButton7", QStringLiteral("Поместить карточку в картотеку"));
    button(CardDelete, "ToolButton8", QStringLiteral("Удалить указанную карточку"));
    button(FileClear, "ToolButton3", QStringLiteral("Удалить все карточки"));
}

QWidget *TfmCard::buildCardGroup()
{
    gbCard = new QGroupBox(QStringLiteral("Карточка"), this);
    platform::ui::describe(gbCard, "gbCard", QStringLiteral("Карточка"), kCardHint);
    auto *grid = new QGridLayout(gbCard);
    grid->setContentsMargins(6, 0, 6, 3);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    int row = 0;
    // Every edit field shows the group's hint, as the card has always done.
    auto field = [this, grid, &row](QWidget *edit, const char *name, const QString &caption,
                                    QLabel *label = nullptr, QWidget *extra = nullptr) {
        if (!label)
            label = new QLabel(caption, gbCard);
        label->setBuddy(edit);
        platform::ui::describe(edit, name, caption, kCardHint);
        if (auto *line = qobject_cast<QLineEdit *>(edit))
            platform::ui::keepToCodePage(line);
        grid->addWidget(label, row, 0);
        if (extra) {
            auto *box = new QHBoxLayout;
            box->setSpacing(4);
            box->addWidget(edit, extra == SpeedButton1 ? 1 : 0);
            box->addWidget(extra, extra == SpeedButton1 ? 0 : 1);
            grid->addLayout(box, row, 1);
        } else {
            grid->addWidget(edit, row, 1);
        }
        ++row;
    };

    lbDate = new QLabel(QStringLiteral("Дата:"), gbCard);
    lbDate->setObjectName(QStringLiteral("lbDate"));
    EditDate = new QLineEdit(gbCard);
    SpeedButton1 = new QToolButton(gbCard);
    platform::ui::describe(SpeedButton1, "SpeedButton1", QStringLiteral("Календарь"), QStringLiteral("Календарь"));
    SpeedButton1->setIcon(calendarIcon());
    SpeedButton1->setAutoRaise(true);
    // Like the date button it imitates, it takes no focus (the tab goes from
    // the date to the surname); Alt+Down in the date field opens it instead.
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton1, &QToolButton::clicked, this, &TfmCard::chooseDate);
    auto *openCalendar = new QAction(EditDate);
    openCalendar->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Down));
    openCalendar->setShortcutContext(Qt::WidgetShortcut);
    connect(openCalendar, &QAction::triggered, this, &TfmCard::chooseDate);
    EditDate->addAction(openCalendar);
    field(EditDate, "EditDate", QStringLiteral("Дата:"), lbDate, SpeedButton1);

    FNameEdit = new QLineEdit(gbCard);
    field(FNameEdit, "FNameEdit", QStringLiteral("Фамилия:"));
    LNameEdit = new QLineEdit(gbCard);
    field(LNameEdit, "LNameEdit", QStringLiteral("Имя:"));
    MNameEdit = new QLineEdit(gbCard);
    field(MNameEdit, "MNameEdit", QStringLiteral("Отчество:"));
    // Age and profession share a row, so that the list keeps some room in
    // the window's fixed size; the tab still goes from one to the other.
    AgeEdit = new AgeSpinBox(gbCard);
    AgeEdit->setFixedWidth(64);
    DocEdit = new QLineEdit(gbCard);
    platform::ui::describe(DocEdit, "DocEdit", QStringLiteral("Профессия:"), kCardHint);
    platform::ui::keepToCodePage(DocEdit);
    auto *docLabel = new QLabel(QStringLiteral("Профессия:"), gbCard);
    docLabel->setBuddy(DocEdit);
    auto *docBox = new QWidget(gbCard);
    auto *docLayout = new QHBoxLayout(docBox);
    docLayout->setContentsMargins(0, 0, 0, 0);
    docLayout->setSpacing(4);
    docLayout->addWidget(docLabel);
    docLayout->addWidget(DocEdit, 1);
    field(AgeEdit, "AgeEdit", QStringLiteral("Возраст:"), nullptr, docBox);
    AddrEdit = new QLineEdit(gbCard);
    field(AddrEdit, "AddrEdit", QStringLiteral("Адрес:"));
    PhoneEdit = new QLineEdit(gbCard);
    field(PhoneEdit, "PhoneEdit", QStringLiteral("Телефон:"));
    ComplaintEdit = new QLineEdit(gbCard);
    field(ComplaintEdit, "ComplaintEdit", QStringLiteral("Жалобы"));
    AnamnesisEdit = new QLineEdit(gbCard);
    field(AnamnesisEdit, "AnamnesisEdit", QStringLiteral("Семейн. анамнез"));
    grid->setColumnStretch(1, 1);
    return gbCard;
}

QWidget *TfmCard::buildBottomRow()
{
    auto *row = new QWidget(this);
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);

    gbConcl = new QGroupBox(QStringLiteral("Заключение"), row);
    platform::ui::describe(gbConcl, "gbConcl", QStringLiteral("Заключение"), {});
    ConclEdit = new QLineEdit(gbConcl);
    platform::ui::describe(ConclEdit, "ConclEdit", QStringLiteral("Заключение"),
             QStringLiteral("Полное имя карточки пациента"));
    platform::ui::keepToCodePage(ConclEdit);
    bbCnclCard = new QPushButton(QStringLiteral("Просмотр"), gbConcl);
    platform::ui::describe(bbCnclCard, "bbCnclCard", QStringLiteral("Просмотр"),
             QStringLiteral("Просмотр текста заключения"));
    connect(bbCnclCard, &QPushButton::clicked, this, &TfmCard::openConclusion);
    auto *c = new QHBoxLayout(gbConcl);
    c->setContentsMargins(6, 0, 6, 3);
    c->setSpacing(4);
    c->addWidget(ConclEdit, 1);
    c->addWidget(bbCnclCard);

    bbHelpCard = help::makeButton(row, "bbHelpCard");
    connect(bbHelpCard, &QPushButton::clicked, this, &TfmCard::showHelp);

    h->addWidget(gbConcl, 1);
    h->addWidget(bbHelpCard, 0, Qt::AlignBottom);
    return row;
}

void TfmCard::arrangeTabOrder()
{
    const QList<QWidget *> chain{PersonsList, EditDate,  FNameEdit,     LNameEdit,     MNameEdit,
                                 AgeEdit,     DocEdit,   AddrEdit,      PhoneEdit,     ComplaintEdit,
                                 AnamnesisEdit, ConclEdit, bbCnclCard, bbHelpCard};
    for (qsizetype i = 0; i + 1 < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i), chain.at(i + 1));
}

int TfmCard::selectedRow() const
{
    const QModelIndexList rows = PersonsList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : m_shown->sourceRow(rows.constFirst().row());
}

void TfmCard::selectRow(int row)
{
    if (row < 0 || row >= model()->rowCount()) {
        PersonsList->clearSelection();
        return;
    }
    if (m_shown->rowOf(row) < 0)
        edSearch->clear();
    const QModelIndex i = m_shown->index(m_shown->rowOf(row));
    PersonsList->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    PersonsList->scrollTo(i);
}

THuman TfmCard::fieldsToRecord() const
{
    THuman h;
    h.Date = EditDate->text();
    h.FName = FNameEdit->text();
    h.LName = LNameEdit->text();
    h.MName = MNameEdit->text();
    h.Age = AgeEdit->value();
    h.Doc = DocEdit->text();
    h.Addr = AddrEdit->text();
    h.Phone = PhoneEdit->text();
    h.Complaint = ComplaintEdit->text();
    h.Anamnesis = AnamnesisEdit->text();
    h.Concl = ConclEdit->text();
    return state::human::singleLined(h);
}

void TfmCard::recordToFields(const THuman &h)
{
    EditDate->setText(h.Date);
    FNameEdit->setText(h.FName);
    LNameEdit->setText(h.LName);
    MNameEdit->setText(h.MName);
    AgeEdit->setValue(h.Age);
    DocEdit->setText(h.Doc);
    AddrEdit->setText(h.Addr);
    PhoneEdit->setText(h.Phone);
    ComplaintEdit->setText(h.Complaint);
    AnamnesisEdit->setText(h.Anamnesis);
    ConclEdit->setText(h.Concl);
}

void TfmCard::clearFields()
{
    for (QLineEdit *e : {EditDate, FNameEdit, LNameEdit, MNameEdit, DocEdit, AddrEdit, PhoneEdit,
                         ComplaintEdit, AnamnesisEdit, ConclEdit})
        e->clear();
    AgeEdit->clear();
}

QString TfmCard::fullName(const QString &chosen) const
{
    return QDir::toNativeSeparators(QFileInfo(chosen).absoluteFilePath());
}

void TfmCard::openCardIndex()
{
    if (!settleUnsavedWork(QStringLiteral("открыть другую картотеку")))
        return;
    const QString chosen = platform::ui::prompter().openFileName(
        this, platform::ui::FileRequest{QStringLiteral("Открыть картотеку"), m_index->listFileName(), state::cardindex::kFilter,
                              state::cardindex::kDefaultSuffix});
    if (chosen.isEmpty())
        return;
    const QString listFile = fullName(chosen);
    const std::optional<state::cards::CardIndex::Access> access = claim(listFile, false);
    if (!access)
        return;
    const state::cards::CardIndex::Opened opened = m_index->open(listFile, *access);
    if (!opened.ok) {
        platform::ui::showMessage(this, opened.message);
        return;
    }
    edSearch->clear();
    if (!opened.warning.isEmpty())
        platform::ui::inform(this, opened.warning);
}

std::optional<state::cards::CardIndex::Access> TfmCard::claim(const QString &listFile, bool forSaving)
{
    using Access = state::cards::CardIndex::Access;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::optional<state::cardlock::Holder> holder = state::cardlock::holderOf(listFile);
        QString error;
        if (!holder) {
            const state::cardlock::Take t = m_index->takeLock(listFile, &error);
            if (t == state::cardlock::Take::Taken)
                return Access::Edit;
            if (t == state::cardlock::Take::Held)
                continue; // somebody was quicker: look again
            // A folder that cannot be written (a disc, no rights): the pair
            // cannot be saved there either.
            if (forSaving)
                return Access::Edit;
            const auto answer = platform::ui::prompter().ask(
                this, QMessageBox::Question,
                QStringLiteral("Не удаётся отметить, что картотека ") + listFile +
                    QStringLiteral(" открыта (") + error + QStringLiteral(").\nОткрыть её только для чтения?"),
                QMessageBox::Yes | QMessageBox::No);
            return answer == QMessageBox::Yes ? std::optional(Access::ReadOnly) : std::nullopt;
        }
        switch (m_index->stateOf(*holder)) {
        case state::cardlock::State::Ours:
            return Access::Edit;
        case state::cardlock::State::Held: {
            const QString who = QStringLiteral("Картотеку ") + listFile + QStringLiteral(" сейчас открыл(а) ") +
                                state::cardlock::describe(*holder) + QStringLiteral(".");
            if (forSaving) {
                platform::ui::showMessage(this, who + QStringLiteral("\nСохраните картотеку под другим именем."));
                return std::nullopt;
            }
            const auto answer = platform::ui::prompter().ask(this, QMessageBox::Question,
                                                   who + QStringLiteral("\nОткрыть её только для чтения?"),
                                                   QMessageBox::Yes | QMessageBox::No);
            return answer == QMessageBox::Yes ? std::optional(Access::ReadOnly) : std::nullopt;
        }
        case state::cardlock::State::Stale: {
            const QString text = QStringLiteral("Картотеку ") + listFile + QStringLiteral(" открыл(а) ") +
                                 state::cardlock::describe(*holder) + QStringLiteral(", но ") +
                                 state::cardlock::staleReason(*holder, m_index->self()) +
                                 QStringLiteral(".\nЗанять картотеку?") +
                                 (forSaving ? QString() : QStringLiteral(" «Нет» откроет её только для чтения."));
            const auto answer = platform::ui::prompter().ask(
                this, QMessageBox::Warning, text,
                forSaving ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            if (answer == QMessageBox::No)
                return forSaving ? std::nullopt : std::optional(Access::ReadOnly);
            if (answer != QMessageBox::Yes)
                return std::nullopt;
            const state::cardlock::Take t = m_index->takeOverLock(listFile, *holder, &error);
            if (t == state::cardlock::Take::Taken)
                return Access::Edit;
            if (t == state::cardlock::Take::Held)
                continue;
            platform::ui::showMessage(this, QStringLiteral("Не удаётся занять картотеку ") + listFile +
                                      QStringLiteral(": ") + error);
            return std::nullopt;
        }
        }
    }
    platform::ui::showMessage(this, QStringLiteral("Не удаётся отметить, что картотека ") + listFile +
                              QStringLiteral(" открыта: её файл блокировки ") + state::cardlock::lockName(listFile) +
                              QStringLiteral(" всё время меняется."));
    return std::nullopt;
}

void TfmCard::showFileName()
{
    const QString listFile = m_index->listFileName();
    labelCard->setText(listFile.isEmpty() ? state::cardindex::kLabelCaption : state::cardindex::labelText(listFile));
}

void TfmCard::showReadOnly()
{
    const bool on = m_index->readOnly();
    const QString why = m_index->readOnlyReason();
    // Reading only forbids writing over this pair, not saving a copy:
    // "Сохранить" saves under another name only, and "Копии" (a restore
    // writes over the pair) is off; the list may still be edited in memory.
    // The reason follows the usual hint: after a dash in the status bar, on
    // a line of its own in the tooltip. It names the lock's holder, a text
    // from a file: the tooltips show it as plain text.
    auto reason = [&](QObject *o) -> QString {
        return (o == FileSave || o == m_saveButton ? QStringLiteral("только под другим именем: ")
                                                   : QStringLiteral("недоступно: ")) +
               QStringLiteral("картотека открыта только для чтения, ") + why;
    };
    auto status = [&](QObject *o, const QString &hint) -> QString {
        return on ? hint + QStringLiteral(" — ") + reason(o) : hint;
    };
    auto tip = [&](QObject *o, const QString &hint) -> QString {
        return platform::ui::plainTip(on ? hint + QStringLiteral("\n") + reason(o) : hint);
    };
    // Actions first: a tool button takes its action's hint whenever the
    // action changes, and gets its own back after.
    for (auto it = m_hints.cbegin(); it != m_hints.cend(); ++it) {
        if (auto *a = qobject_cast<QAction *>(it.key())) {
            a->setStatusTip(status(a, it.value()));
            a->setToolTip(tip(a, it.value()));
        }
    }
    for (auto it = m_hints.cbegin(); it != m_hints.cend(); ++it) {
        if (auto *w = qobject_cast<QWidget *>(it.key())) {
            platform::ui::setHint(w, status(w, it.value()));
            w->setToolTip(tip(w, it.value()));
        }
    }
    bbBackups->setEnabled(!on);
    lbReadOnly->setVisible(on);
    const QString mark = on ? QStringLiteral("Картотека открыта только для чтения: ") + why : QString();
    lbReadOnly->setToolTip(platform::ui::plainTip(mark));
    lbReadOnly->setWhatsThis(platform::ui::plainTip(mark));
    lbReadOnly->setStatusTip(mark);
    lbReadOnly->setAccessibleDescription(mark);
}

bool TfmCard::settleUnsavedWork(const QString &before)
{
    // A card index just read or saved counts as unsaved (the exit check
    // asks about it) but holds no work to lose: only changes are asked about.
    const bool cardOut = m_index->cardOutChanged();
    if (!cardOut && (!m_index->isDirty() || !m_index->hasChanges()))
        return true;
    const QString text =
        cardOut ? QString(QStringLiteral("Карточка «") + state::human::displayText(m_index->card()) +
                          QStringLiteral("» взята из картотеки и не записана в неё. Записать её и сохранить "
                                         "картотеку, прежде чем ") + before + QStringLiteral("?"))
                : QString(QStringLiteral("Картотека не сохранена. Сохранить её, прежде чем ") + before +
                          QStringLiteral("?"));
    const auto answer = platform::ui::prompter().ask(this, QMessageBox::Warning, text,
                                           QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                           QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true; // a card in the fields stays there, still taken out
    if (answer != QMessageBox::Save)
        return false;
    if (cardOut && m_index->takenOutRow() >= 0)
        writeBackCard();
    saveCardIndex();
    return !m_index->isDirty();
}

bool TfmCard::reportWritten(const state::cardindex::WriteResult &written)
{
    if (!written.ok) {
        // Declined when the files were changed by another program: nothing to say.
        if (!written.message.isEmpty())
            platform::ui::showMessage(this, written.message);
        return false;
    }
    if (!written.warning.isEmpty())
        platform::ui::inform(this, written.warning);
    if (!written.replaced.isEmpty())
        platform::ui::inform(this, unstorableReport(written.replaced));
    return true;
}

void TfmCard::saveCardIndex()
{
    // Open to read only, the pair is not proposed: it can only be saved as
    // a copy under another name.
    const QString chosen = platform::ui::prompter().saveFileName(
        this, platform::ui::FileRequest{QStringLiteral("Сохранить картотеку"),
                              m_index->readOnly() ? QString() : m_index->listFileName(), state::cardindex::kFilter,
                              state::cardindex::kDefaultSuffix});
    if (chosen.isEmpty())
        return;
    const QString listFile = fullName(chosen);
    if (const QString refusal = m_index->refusal(listFile); !refusal.isEmpty()) {
        platform::ui::showMessage(this, refusal);
        return;
    }
    if (!claim(listFile, true))
        return;
    reportWritten(m_index->saveAs(listFile, [this](const QString &message) { return replaceChanged(message); }));
}

bool TfmCard::replaceChanged(const QString &message)
{
    return platform::ui::prompter().ask(this, QMessageBox::Warning,
                              message + QStringLiteral("\nЗаменить их картотекой из этого окна? Файлы, записанные "
                                                       "той программой, сохранятся в копиях."),
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TfmCard::restoreBackup()
{
    if (m_index->readOnly())
        return;
    const QString listFile = m_index->listFileName();
    if (listFile.isEmpty()) {
        platform::ui::showMessage(this, QStringLiteral("Копии хранятся рядом с файлами картотеки: сначала откройте или "
                                             "сохраните картотеку."));
        return;
    }
    QList<state::cardbackup::Backup> backups = m_index->backups();
    if (backups.isEmpty()) {
        platform::ui::inform(this, QStringLiteral("Копий картотеки ") + listFile +
                             QStringLiteral(" пока нет: копия делается при каждом сохранении."));
        return;
    }
    // A restore replaces the list in this window: unsaved work is asked
    // about first, as before opening another card index. A save made here
    // adds a backup (or goes to another pair), so the list is read again.
    if (!settleUnsavedWork(QStringLiteral("восстановить копию")))
        return;
    backups = m_index->backups();
    if (m_index->readOnly() || backups.isEmpty())
        return;
    auto *dialog = new TfmBackups(this, m_index->listFileName(), backups);
    const int result = platform::ui::prompter().exec(dialog);
    const QString chosen = dialog->chosen();
    delete dialog;
    if (result != QDialog::Accepted || chosen.isEmpty())
        return;
    // The backup is read and checked first; then it goes in place of the
    // pair as a save would, keeping the pair it replaces.
    state::cardindex::ReadResult read = state::cardindex::readPair(chosen);
    if (!read.ok) {
        platform::ui::showMessage(this, read.message);
        return;
    }
    if (!claim(m_index->listFileName(), true))
        return;
    if (reportWritten(m_index->restore(chosen, std::move(read.entries),
                                       [this](const QString &message) { return replaceChanged(message); })))
        edSearch->clear();
}

void TfmCard::clearCardIndex()
{
    edSearch->clear();
    m_index->clear();
}

void TfmCard::addCard()
{
    // The new line is the one selected: what is typed next and written goes
    // there, not onto the card that happened to be selected before.
    selectRow(m_index->newCard());
}

void TfmCard::takeOutCard()
{
    const int row = selectedRow();
    if (row < 0) {
        platform::ui::showMessage(this, QStringLiteral("Не выбраны картотека или карточка"));
        return;
    }
    // Another patient's card while the examination holds results: those
    // results would be printed under this patient's name.
    if (m_index->examinesAnotherCard(row) && conclusion::concl::examinationHoldsResults() &&
        platform::ui::prompter().ask(this, QMessageBox::Question,
                           QStringLiteral("Результаты осмотра получены для «") +
                               state::human::displayText(*m_index->examinedCard()) +
                               QStringLiteral("». Начать новый осмотр для «") +
                               state::human::displayText(m_index->cardOf(row)) + QStringLiteral("»?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes) {
        conclusion::concl::newPatientReset();
        // The reset brings up the emptied draft; the card comes out here.
        raise();
        activateWindow();
    }
    recordToFields(m_index->takeOut(row));
}

bool TfmCard::fieldsEmpty() const
{
    for (const QLineEdit *e : {EditDate, FNameEdit, LNameEdit, MNameEdit, DocEdit, AddrEdit, PhoneEdit,
                               ComplaintEdit, AnamnesisEdit, ConclEdit}) {
        if (!e->text().isEmpty())
            return false;
    }
    return AgeEdit->text().isEmpty();
}

void TfmCard::writeBackCard()
{
    // A card taken out goes back where it was taken from, whatever is
    // selected now. With none out, the fields go onto the selected entry,
    // unless they are all empty: a second press after a write-back would
    // otherwise wipe the card just written back.
    int row = -1;
    if (m_index->cardFromEntry())
        row = m_index->takenOutRow();
    else if (!fieldsEmpty())
        row = selectedRow();

    if (row < 0 || !model()->entry(row).record) {
        // What the user typed stays in the fields. A card whose entry has
        // gone has nowhere to go back to: the fields now count as typed, to
        // be written onto an entry the user selects.
        m_index->detachCard();
        platform::ui::showMessage(this, QStringLiteral("Неправильное сохранение карточки"));
        return;
    }
    const THuman before = *model()->entry(row).record;
    const THuman h = fieldsToRecord();
    // Fields typed without a card taken out, onto a card of somebody else:
    // asked first, naming both; "Нет" leaves the card and the fields.
    if (!m_index->cardFromEntry() && holdsPatient(before) && !state::human::samePatient(before, h) &&
        platform::ui::prompter().ask(this, QMessageBox::Question,
                           QStringLiteral("Заменить карточку «") + state::human::displayText(before) +
                               QStringLiteral("» данными «") + state::human::displayText(h) + QStringLiteral("»?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    m_index->writeBack(row, h);
    clearFields();
}

void TfmCard::deleteCard()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_index->remove(row);
    // The view would select the next entry; with no confirmation a second
    // click would then delete a card nobody chose. Nothing stays selected.
    PersonsList->selectionModel()->clearSelection();
}

void TfmCard::takeOutFound()
{
    // The entry selected among those found, or else the first found.
    int row = PersonsList->selectionModel()->hasSelection() ? selectedRow() : m_shown->sourceRow(0);
    if (row < 0)
        return;
    selectRow(row);
    takeOutCard();
}

bool TfmCard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == PersonsList) {
        // Letters typed in the list jump to the patient they start, as in
        // any list box; the list itself is not filtered, so the card
        // selected stays in view.
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const bool afresh = !m_typedAt.isValid() || m_typedAt.elapsed() > QApplication::keyboardInputInterval();
            m_typedAt.start();
            const QModelIndex current = PersonsList->currentIndex();
            const int row = m_typeAhead.type(text, afresh, current.isValid() ? current.row() : -1,
                                             m_shown->rowCount(), [this](int r) {
                                                 return m_shown->index(r).data().toString();
                                             });
            if (row >= 0) {
                const QModelIndex found = m_shown->index(row);
                PersonsList->selectionModel()->setCurrentIndex(found, QItemSelectionModel::ClearAndSelect);
                PersonsList->scrollTo(found);
            }
            return true;
        }
    } else if (watched == edSearch && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
        // Down goes on into the list found.
        PersonsList->setFocus(Qt::OtherFocusReason);
        if (!PersonsList->selectionModel()->hasSelection() && m_shown->rowCount() > 0)
            PersonsList->selectionModel()->setCurrentIndex(m_shown->index(0), QItemSelectionModel::ClearAndSelect);
        return true;
    } else if (watched == edSearch && key->key() == Qt::Key_Escape && !edSearch->text().isEmpty()) {
        edSearch->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfmCard::openConclusion()
{
    conclusion::concl::open();
    conclusion::concl::clear();
    const QString name = ConclEdit->text();
    const platform::textfile::ReadResult read = name.isEmpty() ? platform::textfile::ReadResult{} : platform::textfile::readLines(name);
    if (!read.ok) {
        platform::ui::showMessage(this, read.notRegular ? platform::textfile::notRegularMessage(name) : platform::paths::absentMessage(name));
        return;
    }
    conclusion::concl::appendLines(read.lines);
    conclusion::concl::markSaved();
}

void TfmCard::showPhotos()
{
    const int row = selectedRow();
    if (row < 0) {
        platform::ui::showMessage(this, QStringLiteral("Не выбраны картотека или карточка"));
        return;
    }
    photos::photo::openForCard(m_index->cardOf(row));
}

void TfmCard::showHelp()
{
    help::showContext(help::kCardContext);
}

void TfmCard::chooseDate()
{
    auto *calendar = new TfmCalendar(this);
    if (platform::ui::prompter().exec(calendar) == QDialog::Accepted)
        EditDate->setText(calendar->dateText());
    delete calendar;
}
