#include "charts/tfmshproek.h"

#include "charts/chartpicture.h"
#include "charts/chartsdoor.h"
#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "state/examination.h"
#include "state/keyedlines.h"
#include "state/windows.h"
#include "state/zones.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kChartHint = QStringLiteral("Схема проекционных зон");
const QString kLocalisationHint = QStringLiteral("Локализация патологии");

QTabWidget *tabs(QWidget *parent, const char *name)
{
    auto *t = new QTabWidget(parent);
    t->setObjectName(QString::fromLatin1(name));
    t->setDocumentMode(true);
    t->setUsesScrollButtons(false);
    return t;
}

} // namespace

TfmShProek::TfmShProek(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmShProek"));
    setWindowTitle(QStringLiteral("Схемы проекционных зон"));

    pcShList = tabs(this, "pcShList");
    auto page = [this](QWidget *&ts, const char *name, const QString &caption, QTabWidget *&eyes,
                       const char *eyesName) {
        ts = new QWidget(pcShList);
        ts->setObjectName(QString::fromLatin1(name));
        auto *l = new QVBoxLayout(ts);
        l->setContentsMargins(0, 0, 0, 0);
        eyes = tabs(ts, eyesName);
        l->addWidget(eyes);
        pcShList->addTab(ts, caption);
    };
    page(tsDeck, "tsDeck", QStringLiteral("Deck"), pcDeckEyes, "pcDeckEyes");
    page(tsJensen, "tsJensen", QStringLiteral("Jensen"), pcJensenEyes, "pcJensenEyes");
    page(tsCollarette, "tsCollarette", QStringLiteral("Зрачковый пояс"), pcCollaretteEyes, "pcCollaretteEyes");

    const QString right = QStringLiteral("Правый");
    const QString left = QStringLiteral("Левый");
    using state::chartgeom::Chart;
    struct Row {
        ChartPicture *&picture;
        QWidget *&tab;
        QTabWidget *eyes;
        const char *tabName;
        const char *pictureName;
        const QString &caption;
        void (TfmShProek::*handler)(int, int);
        Chart chart;
        bool rightEye;
    };
    const Row rows[] = {
        {imDeckR, tsDeckR, pcDeckEyes, "tsDeckR", "imDeckR", right, &TfmShProek::pressDeckRight, Chart::Deck, true},
        {imDeckL, tsDeckL, pcDeckEyes, "tsDeckL", "imDeckL", left, &TfmShProek::pressDeckLeft, Chart::Deck, false},
        {imJensenR, tsJensenR, pcJensenEyes, "tsJensenR", "imJensenR", right, &TfmShProek::pressJensenRight,
         Chart::Jensen, true},
        {imJensenL, tsJensenL, pcJensenEyes, "tsJensenL", "imJensenL", left, &TfmShProek::pressJensenLeft,
         Chart::Jensen, false},
        {imZrachR, tsCollaretteR, pcCollaretteEyes, "tsCollaretteR", "imZrachR", right,
         &TfmShProek::pressCollaretteRight, Chart::Collarette, true},
        {imZrachL, tsCollaretteL, pcCollaretteEyes, "tsCollaretteL", "imZrachL", left,
         &TfmShProek::pressCollaretteLeft, Chart::Collarette, false},
    };
    m_pictures.reserve(std::size(rows));
    for (const Row &c : rows) {
        c.picture = new ChartPicture(QString::fromLatin1(c.pictureName), kChartHint);
        c.tab = charts::pictureTab(c.eyes, c.tabName, c.caption, c.picture);
        connect(c.picture, &ChartPicture::pressed, this, c.handler);
        m_pictures.push_back(Picture{c.picture, c.tab, c.chart, c.rightEye, state::zones::organFile(c.chart, c.rightEye)});
        const Chart chart = c.chart;
        const bool rightEye = c.rightEye;
        connect(c.picture, &ChartPicture::hovered, this,
                [this, chart, rightEye](int x, int y) { hoverChart(chart, rightEye, QPoint(x, y)); });
        connect(c.picture, &ChartPicture::left, this, [this] { lbZoneUnder->clear(); });
    }

    Panel1 = charts::clickRow(this, &Label1, &Edit1, kLocalisationHint);
    bbOKShProek = platform::ui::makeButton(Panel1, "bbOKShProek", QStringLiteral("Ввод"), kLocalisationHint,
                                 style()->standardIcon(QStyle::SP_DialogApplyButton));
    connect(bbOKShProek, &QPushButton::clicked, this, &TfmShProek::enterZone);
    Panel1->layout()->addWidget(bbOKShProek);

    lbZones = new QListWidget(this);
    platform::ui::describe(lbZones, "lbZones", QStringLiteral("Зоны схемы"),
                 QStringLiteral("Зоны схемы на виду: выбранная зона обводится на схеме и на снимке"));
    lbZones->setFixedWidth(250);
    connect(lbZones, &QListWidget::currentRowChanged, this, &TfmShProek::outlineChosenZone);
    for (QTabWidget *t : {pcShList, pcDeckEyes, pcJensenEyes, pcCollaretteEyes})
        connect(t, &QTabWidget::currentChanged, this, &TfmShProek::listZones);
    lbZoneUnder = platform::ui::makePlainLabel(QString(), this);
    lbZoneUnder->setObjectName(QStringLiteral("lbZoneUnder"));
    lbZoneUnder->setAccessibleName(QStringLiteral("Зона под указателем"));
    lbZoneUnder->setContentsMargins(4, 2, 4, 2);
    lbZoneUnder->setFrameShape(QFrame::StyledPanel);

    auto *chartRow = new QHBoxLayout;
    chartRow->setSpacing(0);
    chartRow->addWidget(pcShList, 1);
    chartRow->addWidget(lbZones);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(chartRow, 1);
    layout->addWidget(Panel1);
    layout->addWidget(lbZoneUnder);
    // The chart's own 401 pixels, and the list beside it.
    platform::place::client(this, 362, 70, 401 + 250, 475 + 22);
    listZones();
}

const TfmShProek::Picture *TfmShProek::find(state::chartgeom::Chart chart, bool rightEye) const
{
    for (const Picture &p : m_pictures)
        if (p.chart == chart && p.rightEye == rightEye)
            return &p;
    return nullptr;
}

const TfmShProek::Picture *TfmShProek::onView() const
{
    const QWidget *tab = eyeTabOnView();
    for (const Picture &p : m_pictures)
        if (p.tab == tab)
            return &p;
    return nullptr;
}

void TfmShProek::hoverChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel)
{
    if (const Picture *p = find(chart, rightEye))
        nameZoneUnder(*p, pixel);
}

void TfmShProek::nameZoneUnder(const Picture &p, QPoint pixel)
{
    // Looked up as a click looks it up, into the status line only.
    const std::optional<state::zones::Zone> zone = m_zoneUnderPointer.at(p.picture->image(), pixel, p.organFile);
    lbZoneUnder->setText(zone ? QStringLiteral("Зона: ") + state::zones::shownName(zone->name) : QString());
}

void TfmShProek::listZones()
{
    const Picture *p = onView();
    const QSignalBlocker quiet(lbZones);
    lbZones->clear();
    if (!p)
        return;
    for (const state::zones::ShownZone &z : state::zones::zonesShown(p->picture->image(), p->organFile)) {
        auto *item = new QListWidgetItem(state::zones::shownName(z.name), lbZones);
        item->setData(Qt::UserRole, z.colour);
    }
    for (const Picture &q : m_pictures)
        q.picture->setOutline(-1);
    charts::chartlinks::noteOutline(p->chart, p->rightEye, -1);
}

void TfmShProek::outlineChosenZone()
{
    const Picture *p = onView();
    if (!p)
        return;
    const QListWidgetItem *item = lbZones->currentItem();
    const int colour = item ? item->data(Qt::UserRole).toInt() : -1;
    p->picture->setOutline(colour);
    charts::chartlinks::noteOutline(p->chart, p->rightEye, colour);
}

int TfmShProek::outlinedZone() const
{
    const Picture *p = onView();
    return p ? p->picture->outline() : -1;
}

void TfmShProek::showCollaretteRight()
{
    pcShList->setCurrentWidget(tsCollarette);
    pcCollaretteEyes->setCurrentWidget(tsCollaretteR);
}

QWidget *TfmShProek::eyeTabOnView() const
{
    const QWidget *page = pcShList->currentWidget();
    QTabWidget *eyes = page == tsDeck ? pcDeckEyes : page == tsJensen ? pcJensenEyes : pcCollaretteEyes;
    return eyes->currentWidget();
}

void TfmShProek::pressChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel)
{
    struct Target {
        QWidget *page;
        QTabWidget *eyes;
        QWidget *tab;
        void (TfmShProek::*handler)(int, int);
    };
    const Target target = [&]() -> Target {
        switch (chart) {
        case state::chartgeom::Chart::Deck:
            return rightEye ? Target{tsDeck, pcDeckEyes, tsDeckR, &TfmShProek::pressDeckRight}
                            : Target{tsDeck, pcDeckEyes, tsDeckL, &TfmShProek::pressDeckLeft};
        case state::chartgeom::Chart::Jensen:
            return rightEye ? Target{tsJensen, pcJensenEyes, tsJensenR, &TfmShProek::pressJensenRight}
                            : Target{tsJensen, pcJensenEyes, tsJensenL, &TfmShProek::pressJensenLeft};
        case state::chartgeom::Chart::Collarette:
            break;
        }
        return rightEye ? Target{tsCollarette, pcCollaretteEyes, tsCollaretteR, &TfmShProek::pressCollaretteRight}
                        : Target{tsCollarette, pcCollaretteEyes, tsCollaretteL, &TfmShProek::pressCollaretteLeft};
    }();
    pcShList->setCurrentWidget(target.page);
    target.eyes->setCurrentWidget(target.tab);
    (this->*target.handler)(pixel.x(), pixel.y());
}

void TfmShProek::pressDeckRight(int x, int y) { click(imDeckR, x, y, state::zones::kDeckOrgans); }
void TfmShProek::pressDeckLeft(int x, int y) { click(imDeckL, x, y, state::zones::kDeckOrgans); }
void TfmShProek::pressJensenRight(int x, int y) { click(imJensenR, x, y, state::zones::kJensenOrgans); }
void TfmShProek::pressJensenLeft(int x, int y) { click(imJensenL, x, y, state::zones::kJensenOrgans); }
void TfmShProek::pressCollaretteRight(int x, int y) { click(imZrachR, x, y, state::zones::kCollaretteOrgansR); }
void TfmShProek::pressCollaretteLeft(int x, int y) { click(imZrachL, x, y, state::zones::kCollaretteOrgansL); }

void TfmShProek::click(ChartPicture *picture, int x, int y, const QString &organFile)
{
    charts::takePress(*picture, QPoint(x, y), ChartClickX, ChartClickY, ChartColourKey, Label1,
                      [&] { LookupChartZone(organFile); });
}

void TfmShProek::LookupChartZone(const QString &organFile)
{
    Edit1->clear();
    const state::zones::Lookup found = state::zones::lookupChartZone(organFile, ChartColourKey.toInt());
    if (found.zone) {
        Edit1->setText(found.zone->name);
        ChartZoneCode = found.zone->code;
    }
    if (!found.ok)
        platform::ui::showMessage(this, platform::paths::absentMessage(organFile));
}

void TfmShProek::enterZone()
{
    state::windows().open(QStringLiteral("fmDeep"));
    state::Examination &exam = state::examination();
    if (!state::zones::eyeMatches(exam.chosenEye() == state::Eye::Right, eyeTabOnView()->objectName())) {
        platform::ui::showMessage(this, QStringLiteral("Несоответствие глаза и схемы"));
        return;
    }
    exam.localise(Edit1->text(), ChartZoneCode);
}

QString TfmShProek::colourShown() const
{
    return Label1->text();
}

QString TfmShProek::zoneShown() const
{
    return Edit1->text();
}
