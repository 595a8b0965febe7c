#include "charts/tfmshproek.h"

#include "charts/chartpicture.h"
#include "charts/keyedlines.h"
#include "charts/zones.h"
#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "state/examination.h"
#include "state/windows.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
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
    struct Chart {
        ChartPicture *&picture;
        QWidget *&tab;
        QTabWidget *eyes;
        const char *tabName;
        const char *pictureName;
        const QString &caption;
        void (TfmShProek::*handler)(int, int);
    };
    const Chart charts[] = {
        {imDeckR, tsDeckR, pcDeckEyes, "tsDeckR", "imDeckR", right, &TfmShProek::pressDeckRight},
        {imDeckL, tsDeckL, pcDeckEyes, "tsDeckL", "imDeckL", left, &TfmShProek::pressDeckLeft},
        {imJensenR, tsJensenR, pcJensenEyes, "tsJensenR", "imJensenR", right, &TfmShProek::pressJensenRight},
        {imJensenL, tsJensenL, pcJensenEyes, "tsJensenL", "imJensenL", left, &TfmShProek::pressJensenLeft},
        {imZrachR, tsCollaretteR, pcCollaretteEyes, "tsCollaretteR", "imZrachR", right,
         &TfmShProek::pressCollaretteRight},
        {imZrachL, tsCollaretteL, pcCollaretteEyes, "tsCollaretteL", "imZrachL", left,
         &TfmShProek::pressCollaretteLeft},
    };
    for (const Chart &c : charts) {
        c.picture = new ChartPicture(QString::fromLatin1(c.pictureName), kChartHint);
        c.tab = charts::pictureTab(c.eyes, c.tabName, c.caption, c.picture);
        connect(c.picture, &ChartPicture::pressed, this, c.handler);
    }

    Panel1 = charts::clickRow(this, &Label1, &Edit1, kLocalisationHint);
    bbOKShProek = ui::makeButton(Panel1, "bbOKShProek", QStringLiteral("Ввод"), kLocalisationHint,
                                 style()->standardIcon(QStyle::SP_DialogApplyButton));
    connect(bbOKShProek, &QPushButton::clicked, this, &TfmShProek::enterZone);
    Panel1->layout()->addWidget(bbOKShProek);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pcShList, 1);
    layout->addWidget(Panel1);
    place::client(this, 362, 70, 401, 475);
}

void TfmShProek::showCollaretteRight()
{
    pcShList->setCurrentWidget(tsCollarette);
    pcCollaretteEyes->setCurrentWidget(tsCollaretteR);
}

QString TfmShProek::eyeTabOnView() const
{
    const QWidget *page = pcShList->currentWidget();
    QTabWidget *eyes = page == tsDeck ? pcDeckEyes : page == tsJensen ? pcJensenEyes : pcCollaretteEyes;
    return eyes->currentWidget()->objectName();
}

void TfmShProek::pressChart(chartgeom::Chart chart, bool rightEye, QPoint pixel)
{
    struct Target {
        QWidget *page;
        QTabWidget *eyes;
        QWidget *tab;
        void (TfmShProek::*handler)(int, int);
    };
    const Target target = [&]() -> Target {
        switch (chart) {
        case chartgeom::Chart::Deck:
            return rightEye ? Target{tsDeck, pcDeckEyes, tsDeckR, &TfmShProek::pressDeckRight}
                            : Target{tsDeck, pcDeckEyes, tsDeckL, &TfmShProek::pressDeckLeft};
        case chartgeom::Chart::Jensen:
            return rightEye ? Target{tsJensen, pcJensenEyes, tsJensenR, &TfmShProek::pressJensenRight}
                            : Target{tsJensen, pcJensenEyes, tsJensenL, &TfmShProek::pressJensenLeft};
        case chartgeom::Chart::Collarette:
            break;
        }
        return rightEye ? Target{tsCollarette, pcCollaretteEyes, tsCollaretteR, &TfmShProek::pressCollaretteRight}
                        : Target{tsCollarette, pcCollaretteEyes, tsCollaretteL, &TfmShProek::pressCollaretteLeft};
    }();
    pcShList->setCurrentWidget(target.page);
    target.eyes->setCurrentWidget(target.tab);
    (this->*target.handler)(pixel.x(), pixel.y());
}

void TfmShProek::pressDeckRight(int x, int y) { click(imDeckR, x, y, zones::kDeckOrgans); }
void TfmShProek::pressDeckLeft(int x, int y) { click(imDeckL, x, y, zones::kDeckOrgans); }
void TfmShProek::pressJensenRight(int x, int y) { click(imJensenR, x, y, zones::kJensenOrgans); }
void TfmShProek::pressJensenLeft(int x, int y) { click(imJensenL, x, y, zones::kJensenOrgans); }
void TfmShProek::pressCollaretteRight(int x, int y) { click(imZrachR, x, y, zones::kCollaretteOrgansR); }
void TfmShProek::pressCollaretteLeft(int x, int y) { click(imZrachL, x, y, zones::kCollaretteOrgansL); }

void TfmShProek::click(ChartPicture *picture, int x, int y, const QString &organFile)
{
    ChartClickX = x;
    ChartClickY = y;
    ChartColourKey = QString::number(keyed::colourNumber(picture->image(), QPoint(x, y)));
    Label1->setText(ChartColourKey);
    LookupChartZone(organFile);
}

void TfmShProek::LookupChartZone(const QString &organFile)
{
    Edit1->clear();
    const zones::Lookup found = zones::lookupChartZone(organFile, ChartColourKey.toInt());
    if (found.zone) {
        Edit1->setText(found.zone->name);
        ChartZoneCode = found.zone->code;
    }
    if (!found.ok)
        ui::showMessage(this, paths::absentMessage(organFile));
}

void TfmShProek::enterZone()
{
    state::windows().open(QStringLiteral("fmDeep"));
    state::Examination &exam = state::examination();
    if (!zones::eyeMatches(exam.chosenEye() == state::Eye::Right, eyeTabOnView())) {
        ui::showMessage(this, QStringLiteral("Несоответствие глаза и схемы"));
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
