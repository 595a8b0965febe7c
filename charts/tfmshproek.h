#pragma once
// The projection-zone charts: Deck, Jensen and the pupillary belt, each for
// the right and the left eye. A click names the zone under the mouse by its
// colour; "Ввод" localises the deep examination's current sign there. The
// mouse moving over a chart names the zone under it in the status line,
// changing nothing a click sets; the list beside the chart names the zones
// of the chart on view, and choosing one outlines it on the chart and on
// the photo window's iris.
#include "state/chartgeometry.h"
#include "state/zones.h"

#include <QWidget>

#include <vector>

class ChartPicture;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

class TfmShProek : public QWidget {
    Q_OBJECT
public:
    explicit TfmShProek(QWidget *owner = nullptr);

    // The state kept between clicks while the program runs.
    int ChartClickX = 0;
    int ChartClickY = 0;
    QString ChartColourKey;
    QString ChartZoneCode;

    // Brings the pupillary belt's right-eye chart to view.
    void showCollaretteRight();
    // The eye tab on view: the tab on view within the page on view.
    QWidget *eyeTabOnView() const;
    // What the window shows: the colour number of the last click (Label1)
    // and the zone found or typed (Edit1).
    QString colourShown() const;
    QString zoneShown() const;
    // Brings a chart's eye tab to view and clicks its picture at a pixel.
    void pressChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel);
    // The mouse over a chart's picture at a pixel: the status line names the
    // zone there; nothing else changes.
    void hoverChart(state::chartgeom::Chart chart, bool rightEye, QPoint pixel);
    // The zone outlined on the chart on view (its colour number), -1 for none.
    int outlinedZone() const;

public slots:
    void pressDeckRight(int x, int y); // imDeckRMouseDown
    void pressDeckLeft(int x, int y); // imDeckLMouseDown
    void pressJensenRight(int x, int y); // imJensenRMouseDown
    void pressJensenLeft(int x, int y); // imJensenLMouseDown
    void pressCollaretteRight(int x, int y); // imZrachRMouseDown
    void pressCollaretteLeft(int x, int y); // imZrachLMouseDown
    void enterZone(); // bbOKShProekClick
    void LookupChartZone(const QString &organFile);

private:
    // The controls, under their written names (their object names too).
    QTabWidget *pcShList = nullptr;
    QWidget *tsDeck = nullptr;
    QWidget *tsJensen = nullptr;
    QWidget *tsCollarette = nullptr;
    QTabWidget *pcDeckEyes = nullptr;
    QTabWidget *pcJensenEyes = nullptr;
    QTabWidget *pcCollaretteEyes = nullptr;
    QWidget *tsDeckR = nullptr, *tsDeckL = nullptr;
    QWidget *tsJensenR = nullptr, *tsJensenL = nullptr;
    QWidget *tsCollaretteR = nullptr, *tsCollaretteL = nullptr;
    ChartPicture *imDeckR = nullptr, *imDeckL = nullptr;
    ChartPicture *imJensenR = nullptr, *imJensenL = nullptr;
    ChartPicture *imZrachR = nullptr, *imZrachL = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *bbOKShProek = nullptr;
    QListWidget *lbZones = nullptr;   // the zones of the chart on view
    QLabel *lbZoneUnder = nullptr;    // the status line: the zone under the mouse
    state::zones::ZoneUnderPointer m_zoneUnderPointer;

    struct Picture {
        ChartPicture *picture;
        QWidget *tab;
        state::chartgeom::Chart chart;
        bool rightEye;
        QString organFile;
    };
    const Picture *find(state::chartgeom::Chart chart, bool rightEye) const;
    const Picture *onView() const;
    void click(ChartPicture *picture, int x, int y, const QString &organFile);
    void nameZoneUnder(const Picture &p, QPoint pixel);
    void listZones();
    void outlineChosenZone();

    std::vector<Picture> m_pictures;
};
