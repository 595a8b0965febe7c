#pragma once
// The projection-zone charts: Deck, Jensen and the pupillary belt, each for
// the right and the left eye. A click names the zone under the mouse by its
// colour; "Ввод" localises the deep examination's current sign there.
#include "charts/chartgeometry.h"

#include <QWidget>

class ChartPicture;
class QFrame;
class QLabel;
class QLineEdit;
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
    // What the window shows: the colour number of the last click (Label1)
    // and the zone found or typed (Edit1).
    QString colourShown() const;
    QString zoneShown() const;
    // The chart and eye on view, by the name of its tab: "tsDeckR" and so on.
    QString eyeTabOnView() const;
    // Brings a chart's eye tab to view and clicks its picture at a pixel.
    void pressChart(chartgeom::Chart chart, bool rightEye, QPoint pixel);

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

    void click(ChartPicture *picture, int x, int y, const QString &organFile);
};
