#pragma once
// The pupil and border diagrams: a click on a variant's patch makes it the
// deep examination's current sign, with the pathology codes of the variant
// for the selected eye.
#include <QWidget>

class ChartPicture;
class QFrame;
class QLabel;
class QLineEdit;
class QTabWidget;

class TfmPupil : public QWidget {
    Q_OBJECT
public:
    explicit TfmPupil(QWidget *owner = nullptr);

    // The state kept between clicks while the program runs.
    int PupilClickX = 0;
    int PupilClickY = 0;
    QString PupilColourKey;

    // Brings a page to view by its name: "tsDecenter", "tsFlatten" or "tsBorder".
    void showPage(const QString &page);
    // Brings a diagram to view by its picture's name ("imDecen", "imFlatRorL",
    // "imFlatBoth", "imBorder") and presses it at a pixel, as the mouse would.
    // False for an unknown picture.
    bool pressPatch(const QString &picture, QPoint pixel);

public slots:
    void pressDecentration(int x, int y); // imDecenMouseDown
    void pressFlatOne(int x, int y); // imFlatRorLMouseDown
    void pressFlatBoth(int x, int y); // imFlatBothMouseDown
    void pressBorder(int x, int y); // imBorderMouseDown
    void LookupPupilVariant(const QString &nameFile);

private:
    // The controls, under their written names (their object names too).
    QTabWidget *pcPupil = nullptr;
    QWidget *tsDecenter = nullptr;
    QWidget *tsFlatten = nullptr;
    QWidget *tsBorder = nullptr;
    QTabWidget *pcFlat = nullptr;
    QWidget *tsFlatRorL = nullptr;
    QWidget *tsFlatBoth = nullptr;
    ChartPicture *imDecen = nullptr;
    ChartPicture *imFlatRorL = nullptr;
    ChartPicture *imFlatBoth = nullptr;
    ChartPicture *imBorder = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;

    void click(ChartPicture *picture, int x, int y, const QString &nameFile);
};
