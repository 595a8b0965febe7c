#include "photos/tfmphoto.h"

#include "charts/chartsdoor.h"
#include "charts/pictures.h"
#include "deep/deepdoor.h"
#include "photos/irisfind.h"
#include "photos/photostore.h"
#include "photos/photoview.h"
#include "photos/pupilreport.h"
#include "platform/controls.h"
#include "platform/dates.h"
#include "platform/prompter.h"
#include "state/carddoor.h"
#include "state/cardindex.h"
#include "state/examination.h"
#include "state/zones.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using photos::Eye;

namespace {

const QString kViewHint = QStringLiteral("Щелчок по радужке называет зону схемы. Круги зрачка и лимба "
                                         "перетаскиваются за центр и за край, схема поворачивается за кружок над лимбом");
const QString kFilter = QStringLiteral("Снимки (JPEG, PNG, BMP)|*.jpg;*.jpeg;*.png;*.bmp");

QPushButton *button(QWidget *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, parent);
    platform::ui::describe(b, name, caption, hint);
    b->setAutoDefault(false);
    return b;
}

QString eyeWord(Eye eye)
{
    return eye == Eye::Right ? QStringLiteral("правого") : QStringLiteral("левого");
}

} // namespace

TfmPhoto::TfmPhoto(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmPhoto"));
    setWindowTitle(QStringLiteral("Фотографии глаз"));

    lbPatient = platform::ui::makePlainLabel(QStringLiteral("Пациент:"), this);
    lbPatient->setObjectName(QStringLiteral("lbPatient"));

    auto *visits = new QHBoxLayout;
    visits->setSpacing(6);
    auto *visitLabel = new QLabel(QStringLiteral("Осмотр:"), this);
    cbVisit = new QComboBox(this);
    cbVisit->setEditable(true);
    cbVisit->setInsertPolicy(QComboBox::NoInsert);
    cbVisit->setMinimumContentsLength(22);
    platform::ui::describe(cbVisit, "cbVisit", QStringLiteral("Осмотр"),
                           QStringLiteral("Дата осмотра, снимки которого показаны: выберите из списка или введите "
                                          "новую (ДД.ММ.ГГГГ) и нажмите Enter"));
    visitLabel->setBuddy(cbVisit);
    bbNewVisit = button(this, "bbNewVisit", QStringLiteral("Новый осмотр"),
                        QStringLiteral("Снимки сегодняшнего осмотра: прежние остаются на карточке под своими датами"));
    auto *compareLabel = new QLabel(QStringLiteral("Сравнить с осмотром:"), this);
    cbCompare = new QComboBox(this);
    cbCompare->setMinimumContentsLength(12);
    platform::ui::describe(cbCompare, "cbCompare", QStringLiteral("Сравнить с осмотром"),
                           QStringLiteral("Второй осмотр, снимок которого показан справа"));
    compareLabel->setBuddy(cbCompare);
    for (QWidget *w : std::initializer_list<QWidget *>{visitLabel, cbVisit, bbNewVisit, compareLabel, cbCompare})
        visits->addWidget(w);
    visits->addStretch(1);

    auto *tools = new QHBoxLayout;
    tools->setSpacing(6);
    auto *showLabel = new QLabel(QStringLiteral("Показать:"), this);
    cbShow = new QComboBox(this);
    cbShow->addItems({QStringLiteral("Оба глаза"), QStringLiteral("Правый глаз"), QStringLiteral("Левый глаз"),
                      QStringLiteral("Правый глаз: два осмотра"), QStringLiteral("Левый глаз: два осмотра")});
    platform::ui::describe(cbShow, "cbShow", QStringLiteral("Показать"),
                           QStringLiteral("Оба снимка осмотра рядом, один снимок или один глаз на двух осмотрах"));
    showLabel->setBuddy(cbShow);
    auto *chartLabel = new QLabel(QStringLiteral("Схема:"), this);
    cbChart = new QComboBox(this);
    for (state::chartgeom::Chart c : state::chartgeom::kCharts)
        cbChart->addItem(state::chartgeom::caption(c));
    platform::ui::describe(cbChart, "cbChart", QStringLiteral("Схема"), QStringLiteral("Схема проекционных зон над радужкой"));
    chartLabel->setBuddy(cbChart);
    chkOverlay = new QCheckBox(QStringLiteral("Схема поверх снимка"), this);
    chkOverlay->setChecked(true);
    platform::ui::describe(chkOverlay, "chkOverlay", chkOverlay->text(), QStringLiteral("Показать зоны схемы на радужке"));
    bbFit = button(this, "bbFit", QStringLiteral("По размеру окна"), QStringLiteral("Снимок целиком в окне"));
    bbActual = button(this, "bbActual", QStringLiteral("1:1"), QStringLiteral("Точка снимка — точка экрана"));
    bbZoomIn = button(this, "bbZoomIn", QStringLiteral("+"), QStringLiteral("Крупнее"));
    bbZoomIn->setAccessibleName(QStringLiteral("Крупнее"));
    bbZoomOut = button(this, "bbZoomOut", QStringLiteral("−"), QStringLiteral("Мельче"));
    bbZoomOut->setAccessibleName(QStringLiteral("Мельче"));
    for (QWidget *w : std::initializer_list<QWidget *>{showLabel, cbShow, chartLabel, cbChart, chkOverlay})
        tools->addWidget(w);
    tools->addStretch(1);
    for (QWidget *w : std::initializer_list<QWidget *>{bbFit, bbActual, bbZoomIn, bbZoomOut})
        tools->addWidget(w);

    buildPane(right, Eye::Right, "Right");
    buildPane(left, Eye::Left, "Left");
    auto *panes = new QHBoxLayout;
    panes->addWidget(right.box, 1);
    panes->addWidget(left.box, 1);

    auto *bottom = new QHBoxLayout;
    lbZone = platform::ui::makePlainLabel(QStringLiteral("Зона: —"), this);
    lbZone->setObjectName(QStringLiteral("lbZone"));
    lbZone->setMinimumWidth(200);
    bbOKPhoto = platform::ui::makeButton(this, "bbOKPhoto", QStringLiteral("Ввод"), QStringLiteral("Локализация патологии"),
                               style()->standardIcon(QStyle::SP_DialogApplyButton));
    auto *orphanLabel = new QLabel(QStringLiteral("Фото без карточки:"), this);
    cbOrphans = new QComboBox(this);
    cbOrphans->setMinimumContentsLength(24);
    platform::ui::describe(cbOrphans, "cbOrphans", QStringLiteral("Фото без карточки"),
                 QStringLiteral("Снимки, не показанные ни на одной карточке: снятые с карточки, чья карточка "
                                "удалена или переименована вне программы"));
    orphanLabel->setBuddy(cbOrphans);
    bbPutOn = button(this, "bbPutOn", QStringLiteral("Взять на карточку"),
                     QStringLiteral("Сделать выбранный снимок фотографией этой карточки"));
    bottom->addWidget(lbZone, 1);
    bottom->addWidget(bbOKPhoto);
    bottom->addSpacing(16);
    bottom->addWidget(orphanLabel);
    bottom->addWidget(cbOrphans);
    bottom->addWidget(bbPutOn);

    lbAnisocoria = platform::ui::makePlainLabel(QString(), this);
    lbAnisocoria->setObjectName(QStringLiteral("lbAnisocoria"));
    lbAnisocoria->setAccessibleName(QStringLiteral("Анизокория"));
    lbZoneUnder = platform::ui::makePlainLabel(QString(), this);
    lbZoneUnder->setObjectName(QStringLiteral("lbZoneUnder"));
    lbZoneUnder->setAccessibleName(QStringLiteral("Зона под указателем"));
    lbZoneUnder->setFrameShape(QFrame::StyledPanel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbPatient);
    layout->addLayout(visits);
    layout->addLayout(tools);
    layout->addLayout(panes, 1);
    layout->addWidget(lbAnisocoria);
    layout->addLayout(bottom);
    layout->addWidget(lbZoneUnder);

    connect(cbShow, &QComboBox::currentIndexChanged, this, &TfmPhoto::refresh);
    connect(cbVisit, &QComboBox::activated, this, [this](int i) { chooseVisit(cbVisit->itemData(i).toString()); });
    connect(cbVisit->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = cbVisit->currentText().simplified();
        // The box passes Enter on to its line again: a text that is an
        // item's own (a visit listed, or chosen just now) is no new date.
        if (cbVisit->findText(typed) >= 0)
            return;
        if (platform::dates::fromShortDate(typed).isValid()) {
            chooseVisit(typed);
            return;
        }
        platform::ui::showMessage(this, QStringLiteral("«%1» — не дата осмотра. Введите дату как ДД.ММ.ГГГГ.").arg(typed));
        refresh();
    });
    connect(bbNewVisit, &QPushButton::clicked, this, &TfmPhoto::newVisit);
    connect(cbCompare, &QComboBox::activated, this, [this](int i) {
        m_compare = cbCompare->itemData(i).toString();
        refresh();
    });
    connect(cbChart, &QComboBox::currentIndexChanged, this, &TfmPhoto::applyChart);
    connect(chkOverlay, &QCheckBox::toggled, this, &TfmPhoto::applyChart);
    // While two visits are compared, the second photo follows the first.
    const auto views = [this](auto act) {
        for (Pane *p : {&right, &left})
            if (p->box->isVisible() && !(comparing() && p == &left))
                act(p->view);
    };
    connect(bbFit, &QPushButton::clicked, this, [this, views] {
        if (comparing())
            frameIrises();
        else
            views([](PhotoView *v) { v->fitToWindow(); });
    });
    connect(bbActual, &QPushButton::clicked, this, [views] { views([](PhotoView *v) { v->actualSize(); }); });
    connect(bbZoomIn, &QPushButton::clicked, this, [views] { views([](PhotoView *v) { v->zoomBy(1.25); }); });
    connect(bbZoomOut, &QPushButton::clicked, this, [views] { views([](PhotoView *v) { v->zoomBy(0.8); }); });
    connect(bbOKPhoto, &QPushButton::clicked, this, &TfmPhoto::enterZone);
    connect(bbPutOn, &QPushButton::clicked, this, &TfmPhoto::putOnCard);
    connect(&photos::store(), &photos::Store::changed, this, &TfmPhoto::refresh);
    // The card shown was written back with a new name or date: follow it.
    connect(&photos::store(), &photos::Store::cardRewritten, this,
            [this](const photos::CardKey &from, const photos::CardKey &to) {
                if (m_haveCard && photos::sameCard(m_card, from))
                    m_card = to;
            });
    state::card::watchList(this, [this] { refresh(); });
    // A zone chosen in the chart window's list is outlined on the iris too.
    connect(&charts::chartlinks::notices(), &charts::chartlinks::Notices::outlined, this,
            [this](state::chartgeom::Chart chart, bool rightEye, int colour) {
                m_outline = Outline{chart, rightEye, colour};
                applyChart();
            });

    resize(980, 640);
    move(60, 60);
}

void TfmPhoto::buildPane(Pane &p, Eye eye, const char *suffix)
{
    const QString caption = photos::eyeCaption(eye);
    const auto name = [suffix](const char *stem) -> QByteArray { return QByteArray(stem) + suffix; };
    p.eye = eye;
    p.box = new QGroupBox(caption, this);
    platform::ui::describe(p.box, name("gb").constData(), caption, {});
    p.view = new PhotoView(p.box);
    platform::ui::describe(p.view, name("im").constData(), QStringLiteral("Снимок: ") + caption.toLower(), kViewHint);
    p.add = button(p.box, name("bbAdd").constData(), QStringLiteral("Добавить…"),
                   QStringLiteral("Выбрать снимок ") + eyeWord(eye) + QStringLiteral(" глаза (JPEG, PNG или BMP)"));
    p.find = button(p.box, name("bbFind").constData(), QStringLiteral("Найти круги"),
                    QStringLiteral("Найти зрачок и лимб на снимке заново"));
    auto *turnLabel = new QLabel(QStringLiteral("Наклон, °:"), p.box);
    p.turn = new QDoubleSpinBox(p.box);
    p.turn->setRange(-45, 45);
    p.turn->setSingleStep(0.5);
    p.turn->setDecimals(1);
    platform::ui::describe(p.turn, name("seTurn").constData(), QStringLiteral("Наклон"),
                 QStringLiteral("Поворот схемы по наклону головы, градусы по часовой стрелке"));
    turnLabel->setBuddy(p.turn);
    p.takeOff = button(p.box, name("bbTakeOff").constData(), QStringLiteral("Снять с карточки"),
                       QStringLiteral("Снимок останется в папке и будет предложен среди фото без карточки"));
    p.state = platform::ui::makePlainLabel(QString(), p.box);
    p.state->setObjectName(QString::fromLatin1(name("lbState")));
    p.state->setWordWrap(true);
    p.pupil = platform::ui::makePlainLabel(QString(), p.box);
    p.pupil->setObjectName(QString::fromLatin1(name("lbPupil")));
    p.pupil->setAccessibleName(QStringLiteral("Зрачок: ") + caption.toLower());
    p.pupil->setWordWrap(true);
    p.offers = new QWidget(p.box);
    p.offers->setObjectName(QString::fromLatin1(name("gbOffers")));
    p.offers->setAccessibleName(QStringLiteral("Признаки по снимку: ") + caption.toLower());
    auto *offerRows = new QVBoxLayout(p.offers);
    offerRows->setContentsMargins(0, 0, 0, 0);
    offerRows->setSpacing(2);

    auto *row = new QHBoxLayout;
    row->addWidget(p.add);
    row->addWidget(p.find);
    row->addWidget(turnLabel);
    row->addWidget(p.turn);
    row->addStretch(1);
    row->addWidget(p.takeOff);
    // What stands under the photo, in a block of its own: the two blocks
    // are kept one height (evenOutPanes) so that the photos are too.
    p.below = new QWidget(p.box);
    auto *under = new QVBoxLayout(p.below);
    under->setContentsMargins(0, 0, 0, 0);
    under->addLayout(row);
    under->addWidget(p.state);
    under->addWidget(p.pupil);
    under->addWidget(p.offers);
    under->addStretch(1);
    auto *v = new QVBoxLayout(p.box);
    v->addWidget(p.view, 1);
    v->addWidget(p.below);

    Pane *at = &p;
    connect(p.add, &QPushButton::clicked, this, [this, at] { addPhotoTo(*at); });
    connect(p.find, &QPushButton::clicked, this, [this, at] { findCirclesIn(*at); });
    connect(p.takeOff, &QPushButton::clicked, this, [this, at] { takeOffPhotoIn(*at); });
    connect(p.view, &PhotoView::clicked, this, [this, at](QPointF point) { clickedIn(*at, point); });
    connect(p.view, &PhotoView::hovered, this, [this, at](QPointF point) { hoveredIn(*at, point); });
    connect(p.view, &PhotoView::framed, this, [this, at] { followFraming(*at); });
    connect(p.view, &PhotoView::fitEdited, this, [this, at](const photos::iris::Fit &fit) {
        Pane &pp = *at;
        storeFit(pp, fit);
        const QSignalBlocker quiet(pp.turn);
        pp.turn->setValue(fit.turn);
        measure(pp);
        showMeasures();
    });
    connect(p.turn, &QDoubleSpinBox::valueChanged, this, [this, at](double value) {
        Pane &pp = *at;
        if (pp.photo < 0 || pp.view->fit().turn == value)
            return;
        photos::iris::Fit fit = pp.view->fit();
        fit.turn = value;
        pp.view->setFit(fit);
        storeFit(pp, fit);
        measure(pp);
        showMeasures();
    });
}

state::chartgeom::Chart TfmPhoto::chart() const
{
    return state::chartgeom::kCharts[std::clamp(cbChart->currentIndex(), 0, 2)];
}

void TfmPhoto::showCard(const THuman &card)
{
    const photos::CardKey key = photos::keyOf(card);
    if (!m_haveCard || !photos::sameCard(key, m_card)) {
        // Another patient: the latest visit of the card, nothing compared.
        m_visit.clear();
        m_newVisit.reset();
        m_compare.reset();
    }
    m_card = key;
    m_haveCard = true;
    right.loadedPath.clear();
    left.loadedPath.clear();
    lbZone->setText(QStringLiteral("Зона: —"));
    refresh();
}

void TfmPhoto::refresh()
{
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    lbPatient->setText(m_haveCard ? QStringLiteral("Пациент: ") + photos::describe(m_card) : QStringLiteral("Пациент:"));
    showVisits(cards);
    applyShow();
    showPane(right, cards);
    showPane(left, cards);
    // Two photos come up side by side with their irises in the middle;
    // then they keep the framing the user gives them.
    const std::pair shownPair{right.photo, left.photo};
    if (comparing() && shownPair != m_framedPair)
        frameIrises();
    m_framedPair = comparing() ? shownPair : std::pair{-1, -1};
    showMeasures();

    const photos::PhotoIndex &index = photos::store().index();
    const QSignalBlocker quiet(cbOrphans);
    cbOrphans->clear();
    for (int i : index.orphans(cards)) {
        const photos::Photo &p = index.photos.at(i);
        const QString owner = photos::describe(p.key);
        const QString visit = p.visit.simplified().isEmpty() ? QString() : QStringLiteral(", осмотр ") + p.visit.simplified();
        cbOrphans->addItem(photos::eyeCaption(p.eye) + QStringLiteral(" — ") +
                               (owner.isEmpty() ? QStringLiteral("без карточки") : owner) + visit + QStringLiteral(" (") +
                               p.file + QLatin1Char(')'),
                           i);
    }
    cbOrphans->setEnabled(cbOrphans->count() > 0);
    bbPutOn->setEnabled(cbOrphans->count() > 0 && m_haveCard);
    applyChart();
}

bool TfmPhoto::comparing() const
{
    return cbShow->currentIndex() >= 3;
}

void TfmPhoto::showVisits(const QList<photos::CardKey> &cards)
{
    m_visits = m_haveCard ? photos::store().index().visitsOf(cards, m_card) : QStringList();
    const auto known = [this](const QString &v) { return photos::holdsVisit(m_visits, v); };
    if (m_newVisit && known(*m_newVisit))
        m_newVisit.reset();
    if (!known(m_visit) && !(m_newVisit && photos::sameVisit(*m_newVisit, m_visit))) {
        // The latest visit, or today's when the card has none yet.
        m_visit = m_visits.isEmpty() ? photos::today() : m_visits.constLast();
        m_newVisit.reset();
        if (m_visits.isEmpty())
            m_newVisit = m_visit;
    }
    QStringList listed = m_visits;
    if (!known(m_visit))
        listed.append(m_visit);
    std::stable_sort(listed.begin(), listed.end(), photos::visitBefore);
    {
        const QSignalBlocker quiet(cbVisit);
        cbVisit->clear();
        for (qsizetype k = listed.size() - 1; k >= 0; --k)
            cbVisit->addItem(photos::visitCaption(listed.at(k)) +
                                 (known(listed.at(k)) ? QString() : QStringLiteral(" (новый осмотр)")),
                             listed.at(k));
        cbVisit->setCurrentIndex(int(listed.size() - 1 - listed.indexOf(m_visit)));
        cbVisit->setEnabled(m_haveCard);
    }
    bbNewVisit->setEnabled(m_haveCard);

    // The visit compared with: the one chosen before, or the latest before
    // the visit shown, or else the latest after it.
    QStringList others;
    for (const QString &v : std::as_const(m_visits))
        if (!photos::sameVisit(v, m_visit))
            others.append(v);
    if (!m_compare || !photos::holdsVisit(others, *m_compare)) {
        m_compare.reset();
        for (const QString &v : std::as_const(others))
            if (photos::visitBefore(v, m_visit) || !m_compare)
                m_compare = v;
    }
    {
        const QSignalBlocker quiet(cbCompare);
        cbCompare->clear();
        for (qsizetype k = others.size() - 1; k >= 0; --k) {
            cbCompare->addItem(photos::visitCaption(others.at(k)), others.at(k));
            if (m_compare && photos::sameVisit(*m_compare, others.at(k)))
                cbCompare->setCurrentIndex(cbCompare->count() - 1);
        }
    }

    const photos::Eye compared = cbShow->currentIndex() == 4 ? Eye::Left : Eye::Right;
    right.eye = comparing() ? compared : Eye::Right;
    left.eye = comparing() ? compared : Eye::Left;
    right.visit = m_visit;
    left.visit = comparing() ? m_compare.value_or(QString()) : m_visit;
    right.hasVisit = true;
    left.hasVisit = !comparing() || m_compare.has_value();
    for (Pane *p : {&right, &left}) {
        const QString caption = photos::eyeCaption(p->eye) +
                                (p->hasVisit ? QStringLiteral(", осмотр ") + photos::visitCaption(p->visit) : QString());
        p->box->setTitle(caption);
        p->box->setAccessibleName(caption);
        p->add->setToolTip(QStringLiteral("Выбрать снимок ") + eyeWord(p->eye) + QStringLiteral(" глаза (JPEG, PNG или BMP)"));
    }
}

void TfmPhoto::showPane(Pane &p, const QList<photos::CardKey> &cards)
{
    const photos::PhotoIndex &index = photos::store().index();
    const int i = m_haveCard && p.hasVisit ? index.photoOf(cards, m_card, p.eye, p.visit) : -1;
    p.photo = i;
    const bool holds = m_haveCard && p.hasVisit && photos::canHoldPhotos(m_card) &&
                       photos::PhotoIndex::cardsWith(cards, m_card) == 1;
    p.add->setEnabled(holds);
    p.add->setText(i >= 0 ? QStringLiteral("Заменить…") : QStringLiteral("Добавить…"));
    p.find->setEnabled(i >= 0);
    p.turn->setEnabled(i >= 0);
    p.takeOff->setEnabled(i >= 0);
    if (i < 0) {
        p.loadedPath.clear();
        QString text;
        if (!m_haveCard)
            text = QStringLiteral("Карточка не выбрана");
        else if (!p.hasVisit)
            text = QStringLiteral("Других осмотров со снимками нет: сравнивать не с чем.");
        else if (index.heldBack(cards, m_card))
            text = QStringLiteral("Фотографии не показаны: в картотеке несколько карточек «%1». Измените у одной "
                                  "из них ФИО или дату.").arg(photos::describe(m_card));
        else if (photos::PhotoIndex::cardsWith(cards, m_card) == 0)
            text = QStringLiteral("Этой карточки нет в списке картотеки.");
        else if (!photos::canHoldPhotos(m_card))
            text = QStringLiteral("Чтобы хранить фотографии, заполните в карточке фамилию и имя («Править», "
                                  "«Записать»).");
        else
            text = QStringLiteral("Нет снимка %1 глаза на осмотре %2. «Добавить…» — выбрать снимок (JPEG, PNG или BMP).")
                       .arg(eyeWord(p.eye), photos::visitCaption(p.visit));
        p.view->setPhoto(QImage(), photos::iris::Fit{}, text);
        p.state->clear();
        measure(p);
        return;
    }
    const QString path = photos::store().pathOf(i);
    if (path == p.loadedPath)
        return;
    p.loadedPath = path;
    const photos::Decoded decoded = photos::readPhoto(photos::store().folder(), index.photos.at(i).file);
    const QImage &image = decoded.image;
    if (image.isNull()) {
        p.view->setPhoto(QImage(), photos::iris::Fit{}, decoded.problem);
        p.find->setEnabled(false);
        p.turn->setEnabled(false);
        p.state->clear();
        measure(p);
        return;
    }
    // The view works in the pixels it shows; the index keeps the photo's own.
    p.scale = decoded.scale;
    std::optional<photos::iris::Fit> fit = index.photos.at(i).fit;
    QString state = QStringLiteral("%1 × %2, %3")
                        .arg(decoded.fullSize.width())
                        .arg(decoded.fullSize.height())
                        .arg(index.photos.at(i).file);
    bool circlesFound = true;
    if (fit) {
        fit = photos::scaled(*fit, p.scale);
    } else {
        const photos::iris::Found found = photos::iris::find(image);
        fit = found.fit;
        circlesFound = found.ok;
        photos::store().setFit(i, photos::scaled(found.fit, 1 / p.scale));
        state::cards::cardIndex().noteUnsaved();
        if (!found.ok)
            state += QStringLiteral(". Круги не найдены (%1): поставьте их вручную.").arg(found.problem);
    }
    p.view->setPhoto(image, *fit);
    const QSignalBlocker quiet(p.turn);
    p.turn->setValue(fit->turn);
    p.state->setText(state);
    measure(p, circlesFound);
}

void TfmPhoto::applyChart()
{
    for (Pane *p : {&right, &left}) {
        const bool rightEye = p->eye == Eye::Right;
        p->view->setChart(chart(), rightEye, chkOverlay->isChecked());
        p->view->setOutline(m_outline.chart == chart() && m_outline.rightEye == rightEye ? m_outline.colour : -1);
    }
}

void TfmPhoto::measure(Pane &p, bool circlesFound)
{
    const photos::iris::Fit &fit = p.view->fit();
    if (p.photo < 0 || p.view->photo().isNull() || !photos::iris::usable(fit) || !circlesFound) {
        // Circles only proposed are no measure: the user places them first.
        p.measures.reset();
        p.pupil->setText(p.photo >= 0 && !circlesFound ? QStringLiteral("Зрачок не измерен: поставьте круги") : QString());
        return;
    }
    p.measures = photos::iris::measurePupil(fit, photos::iris::pupilOutline(p.view->photo(), fit));
    p.pupil->setText(photos::iris::describe(*p.measures).join(QLatin1Char('\n')));
}

void TfmPhoto::showMeasures()
{
    if (comparing()) {
        // One eye at two visits: how its pupil changed, and no offer (the
        // signs are entered from the visit examined today, one eye beside the other).
        const bool inOrder = !photos::visitBefore(right.visit, left.visit);
        const Pane &earlier = inOrder ? left : right;
        const Pane &later = inOrder ? right : left;
        lbAnisocoria->setText(right.measures && left.measures && left.hasVisit
                                  ? photos::iris::describeChange(*earlier.measures, photos::visitCaption(earlier.visit),
                                                                 *later.measures, photos::visitCaption(later.visit))
                                  : QString());
        m_offers.clear();
    } else {
        lbAnisocoria->setText(right.measures && left.measures
                                  ? photos::iris::describe(photos::iris::anisocoria(*right.measures, *left.measures))
                                  : QString());
        m_offers = photos::iris::pupilOffers(right.measures, left.measures);
    }
    for (Pane *p : {&right, &left}) {
        // Taken out at once, deleted later: the press being handled may be one of them.
        for (QPushButton *b : p->offers->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly)) {
            b->hide();
            b->setParent(nullptr);
            b->deleteLater();
        }
    }
    int n = 0;
    for (const photos::iris::Offer &o : m_offers) {
        const QString name = photos::iris::offerName(o);
        if (name.isEmpty())
            continue;
        Pane &p = paneOf(o.rightEye ? Eye::Right : Eye::Left);
        const QByteArray objectName = "bbOffer" + QByteArray::number(n++);
        auto *b = button(p.offers, objectName.constData(), QStringLiteral("Предложено: ") + name,
                         o.source == photos::iris::Source::Catalogue
                             ? QStringLiteral("Выбрать этот признак для %1 глаза, как из меню углублённого "
                                              "обследования").arg(eyeWord(p.eye))
                             : QStringLiteral("Выбрать этот признак для %1 глаза, как щелчком по схеме "
                                              "«Зрачок и кайма»").arg(eyeWord(p.eye)));
        b->setStyleSheet(QStringLiteral("text-align: left"));
        p.offers->layout()->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, o] { takeOffer(o); });
    }
    evenOutPanes();
}

void TfmPhoto::takeOffer(const photos::iris::Offer &offer)
{
    state::examination().chooseEye(offer.rightEye ? state::Eye::Right : state::Eye::Left);
    if (offer.source == photos::iris::Source::Catalogue)
        deep::chooseItem(offer.item);
    else
        PressPupilPatch(offer.picture, offer.pixel);
    // As after a click on the iris: this window stays where the user works.
    raise();
    activateWindow();
}

void TfmPhoto::photoHovered(Eye eye, QPointF at)
{
    hoveredIn(paneOf(eye), at);
}

void TfmPhoto::hoveredIn(const Pane &p, QPointF at)
{
    const Eye eye = p.eye;
    const photos::iris::Fit &fit = p.view->fit();
    const bool rightEye = eye == Eye::Right;
    const double t = photos::iris::usable(fit) ? photos::iris::placeOf(fit, at).t : -1;
    if (t < 0 || t > 1) {
        lbZoneUnder->clear();
        return;
    }
    // The chart's colour there, looked up as a click on the chart looks it up.
    const std::optional<state::zones::Zone> zone =
        m_zoneUnderPointer.at(charts::picture(state::chartgeom::pictureName(chart(), rightEye)),
                              photos::iris::chartPixelOf(fit, chart(), at), state::zones::organFile(chart(), rightEye));
    lbZoneUnder->setText(zone ? QStringLiteral("Зона (") + photos::eyeCaption(eye).toLower() + QStringLiteral("): ") +
                                    state::zones::shownName(zone->name)
                              : QString());
}

void TfmPhoto::evenOutPanes()
{
    // The texts under the photos (their measures, the offers) take as many
    // lines as they need; the taller block sets the height of both.
    int height = 0;
    for (Pane *p : {&right, &left}) {
        // Its texts and offers changed just now: measured afresh, not from
        // what the layouts remember until they are next laid out.
        for (QWidget *w : p->below->findChildren<QWidget *>())
            w->updateGeometry();
        for (QLayout *layout : p->below->findChildren<QLayout *>())
            layout->invalidate();
        const QLayout *under = p->below->layout();
        const int needed = under->totalHeightForWidth(p->below->width());
        height = std::max(height, needed >= 0 ? needed : under->totalSizeHint().height());
    }
    for (Pane *p : {&right, &left})
        p->below->setFixedHeight(height);
}

void TfmPhoto::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    evenOutPanes();
}

void TfmPhoto::applyShow()
{
    right.box->setVisible(cbShow->currentIndex() != 2);
    left.box->setVisible(cbShow->currentIndex() != 1);
    cbCompare->setEnabled(comparing() && cbCompare->count() > 0);
}

void TfmPhoto::frameIrises()
{
    const QSize size = right.view->size();
    const PhotoView::Framing framing{QPointF(0, 0), 0.45 * std::min(size.width(), size.height())};
    right.view->setFraming(framing);
    left.view->setFraming(framing);
}

void TfmPhoto::followFraming(const Pane &p)
{
    if (!comparing())
        return;
    if (const std::optional<PhotoView::Framing> framing = p.view->framing())
        otherPane(p).view->setFraming(*framing);
}

void TfmPhoto::chooseVisit(const QString &visit)
{
    m_visit = visit.simplified();
    if (!photos::holdsVisit(m_visits, m_visit))
        m_newVisit = m_visit;
    refresh();
}

void TfmPhoto::newVisit()
{
    chooseVisit(photos::today());
}

void TfmPhoto::compareVisits(Eye eye, const QString &other)
{
    m_compare = other.simplified();
    const QSignalBlocker quiet(cbShow);
    cbShow->setCurrentIndex(eye == Eye::Right ? 3 : 4);
    refresh();
}

std::optional<TfmPhoto::Compared> TfmPhoto::comparison() const
{
    if (!comparing() || !left.hasVisit)
        return std::nullopt;
    return Compared{right.eye, right.visit, left.visit, right.photo, left.photo};
}

void TfmPhoto::storeFit(Pane &p, const photos::iris::Fit &fit)
{
    if (p.photo < 0)
        return;
    photos::store().setFit(p.photo, photos::scaled(fit, 1 / p.scale));
    state::cards::cardIndex().noteUnsaved();
}

bool TfmPhoto::cardTakesPhotos(const QList<photos::CardKey> &cards)
{
    if (!m_haveCard || !photos::canHoldPhotos(m_card)) {
        platform::ui::showMessage(this, QStringLiteral("Чтобы хранить фотографии, заполните в карточке фамилию и имя."));
        return false;
    }
    if (photos::PhotoIndex::cardsWith(cards, m_card) != 1) {
        platform::ui::showMessage(this, QStringLiteral("В картотеке нет ровно одной карточки «%1»: фотографии не к кому "
                                             "приложить.").arg(photos::describe(m_card)));
        return false;
    }
    return true;
}

void TfmPhoto::addPhoto(Eye eye)
{
    addPhotoTo(paneOf(eye));
}

void TfmPhoto::addPhotoTo(Pane &p)
{
    const Eye eye = p.eye;
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    if (!p.hasVisit || !cardTakesPhotos(cards))
        return;
    const QString file = platform::ui::prompter().openFileName(
        this, platform::ui::FileRequest{QStringLiteral("Снимок ") + eyeWord(eye) + QStringLiteral(" глаза"), {}, kFilter, {}});
    if (file.isEmpty())
        return;
    if (p.photo >= 0 &&
        platform::ui::prompter().ask(this, QMessageBox::Question,
                           QStringLiteral("Заменить снимок %1 глаза? Прежний останется в папке картотеки среди фото "
                                          "без карточки.").arg(eyeWord(eye)),
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const photos::Store::Added added = photos::store().add(file, eye, m_card, p.visit);
    if (!added.error.isEmpty())
        platform::ui::showMessage(this, added.error);
}

void TfmPhoto::findCircles(Eye eye)
{
    findCirclesIn(paneOf(eye));
}

void TfmPhoto::findCirclesIn(Pane &p)
{
    if (p.photo < 0 || p.view->photo().isNull())
        return;
    const photos::iris::Found found = photos::iris::find(p.view->photo());
    p.view->setFit(found.fit);
    storeFit(p, found.fit);
    const QSignalBlocker quiet(p.turn);
    p.turn->setValue(found.fit.turn);
    measure(p, found.ok);
    showMeasures();
    if (!found.ok)
        platform::ui::showMessage(this, QStringLiteral("Круги не найдены (%1): поставьте их вручную.").arg(found.problem));
}

void TfmPhoto::takeOffPhoto(Eye eye)
{
    takeOffPhotoIn(paneOf(eye));
}

void TfmPhoto::takeOffPhotoIn(Pane &p)
{
    const Eye eye = p.eye;
    if (p.photo < 0)
        return;
    if (platform::ui::prompter().ask(this, QMessageBox::Question,
                           QStringLiteral("Снять снимок %1 глаза с карточки? Он останется в папке картотеки среди "
                                          "фото без карточки.").arg(eyeWord(eye)),
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    photos::store().takeOff(p.photo);
}

void TfmPhoto::photoClicked(Eye eye, QPointF at)
{
    clickedIn(paneOf(eye), at);
}

void TfmPhoto::clickedIn(Pane &p, QPointF at)
{
    const Eye eye = p.eye;
    const photos::iris::Fit &fit = p.view->fit();
    if (!photos::iris::usable(fit))
        return;
    // The point stays marked until the next click, on either photo.
    p.view->setMark(at);
    otherPane(p).view->setMark(std::nullopt);
    if (photos::iris::placeOf(fit, at).t > 1) {
        lbZone->setText(QStringLiteral("Зона: щелчок вне радужки"));
        return;
    }
    const QString zone = PressChart(chart(), eye == Eye::Right, photos::iris::chartPixelOf(fit, chart(), at));
    lbZone->setText(QStringLiteral("Зона (") + photos::eyeCaption(eye).toLower() + QStringLiteral("):") +
                    (zone.isEmpty() ? QStringLiteral(" не найдена") : zone));
    // The chart window came up without taking the focus; this window stays
    // in front, where the user goes on clicking.
    raise();
    activateWindow();
}

void TfmPhoto::enterZone()
{
    charts::chartlinks::enterZone();
}

void TfmPhoto::putOnCard()
{
    const QList<photos::CardKey> cards = photos::keysOf(state::card::entries());
    if (cbOrphans->currentIndex() < 0 || !cardTakesPhotos(cards))
        return;
    const int i = cbOrphans->currentData().toInt();
    const photos::Photo &photo = photos::store().index().photos.at(i);
    const Eye eye = photo.eye;
    // The photo goes to the visit it was taken at; one whose date is not
    // known, to the visit shown.
    const QString visit = photo.visit.simplified().isEmpty() ? m_visit : photo.visit.simplified();
    if (photos::store().index().photoOf(cards, m_card, eye, visit) >= 0 &&
        platform::ui::prompter().ask(this, QMessageBox::Question,
                           QStringLiteral("У карточки уже есть снимок %1 глаза на осмотре %2. Заменить его? Прежний "
                                          "останется среди фото без карточки.").arg(eyeWord(eye), photos::visitCaption(visit)),
                           QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    m_visit = visit;
    photos::store().putOn(i, m_card, visit);
}
