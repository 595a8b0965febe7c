#pragma once
// The photo window: a card's right-eye and left-eye photographs, side by
// side or one at a time, each with its fitted pupil and limbus and the
// chosen projection-zone chart over the iris. A click on an iris names the
// zone in the chart window, as a click on the chart itself would; "Ввод"
// then localises the current sign as the chart window's "Ввод" does. The
// mouse over an iris names the zone under it. Each pupil is measured from
// its fitted circles and edge, and where a measure passes its threshold
// the matching sign is offered: a press on the offer does what a click on
// that patch of the pupil diagrams, or on that item of the sign menus, does.
// A card keeps photos of several visits: the window shows one visit, or one
// eye at two visits side by side, zoomed and moved together in the measure
// of the iris, the chart over both, the measures of both under them.
#include "photos/photoindex.h"
#include "photos/pupilmeasure.h"
#include "state/zones.h"

#include <QWidget>

#include <optional>
#include <vector>

class PhotoView;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TfmPhoto : public QWidget {
    Q_OBJECT
public:
    explicit TfmPhoto(QWidget *owner = nullptr);

    // The card whose photos are shown.
    void showCard(const THuman &card);
    const photos::CardKey &cardKey() const { return m_card; }
    state::chartgeom::Chart chart() const;

    // The photo shown of an eye at the chosen visit: its index in the photo
    // index, -1 for none.
    int photoShown(photos::Eye eye) const { return paneOf(eye).photo; }

    // The visit shown ("07.12.2026"), and the card's visits with photos,
    // oldest first.
    const QString &visit() const { return m_visit; }
    const QStringList &visits() const { return m_visits; }
    // Shows a visit: one of the card's, or a new one (a date) to add photos to.
    void chooseVisit(const QString &visit);
    // One eye at the chosen visit and at another, side by side.
    void compareVisits(photos::Eye eye, const QString &other);
    struct Compared {
        photos::Eye eye = photos::Eye::Right;
        QString visit, other;   // the chosen visit (left) and the other (right)
        int photo = -1, otherPhoto = -1;
    };
    // What is compared, while two visits are.
    std::optional<Compared> comparison() const;

    // The signs offered from the measures, in the order of their buttons.
    const std::vector<photos::iris::Offer> &offers() const { return m_offers; }

public slots:
    void refresh();
    void addPhoto(photos::Eye eye); // addPhotoClick
    void findCircles(photos::Eye eye); // findCirclesClick
    void takeOffPhoto(photos::Eye eye); // takeOffClick
    void photoClicked(photos::Eye eye, QPointF photoPoint);
    void enterZone(); // bbOKPhotoClick
    void putOnCard(); // bbPutOnClick
    // A press on an offer: the deep window's eye becomes the offer's, then
    // its patch or menu item is clicked.
    void takeOffer(const photos::iris::Offer &offer);
    void photoHovered(photos::Eye eye, QPointF photoPoint);
    void newVisit(); // bbNewVisitClick

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // One eye's pane.
    struct Pane {
        photos::Eye eye = photos::Eye::Right;
        QString visit;        // the visit shown
        bool hasVisit = true; // false: no other visit to compare with
        QGroupBox *box = nullptr;
        PhotoView *view = nullptr;
        QPushButton *add = nullptr;
        QPushButton *find = nullptr;
        QDoubleSpinBox *turn = nullptr;
        QPushButton *takeOff = nullptr;
        QLabel *state = nullptr;
        QLabel *pupil = nullptr;     // the pupil's measures
        QWidget *offers = nullptr;   // the signs offered for this eye, a button each
        QWidget *below = nullptr;    // all that stands under the photo
        std::optional<photos::iris::PupilMeasures> measures;
        int photo = -1;       // index in the photo index, -1 for none
        QString loadedPath;   // the file the view shows
        double scale = 1;     // pixels shown per pixel of the photo (a large one is shown smaller)
    };

    // The controls, under their written names (their object names too).
    QLabel *lbPatient = nullptr;
    QComboBox *cbVisit = nullptr;
    QPushButton *bbNewVisit = nullptr;
    QComboBox *cbShow = nullptr;
    QComboBox *cbCompare = nullptr;
    QComboBox *cbChart = nullptr;
    QCheckBox *chkOverlay = nullptr;
    QPushButton *bbFit = nullptr;
    QPushButton *bbActual = nullptr;
    QPushButton *bbZoomIn = nullptr;
    QPushButton *bbZoomOut = nullptr;
    Pane right;
    Pane left;
    QLabel *lbZone = nullptr;
    QPushButton *bbOKPhoto = nullptr;
    QComboBox *cbOrphans = nullptr;
    QPushButton *bbPutOn = nullptr;
    QLabel *lbAnisocoria = nullptr;
    QLabel *lbZoneUnder = nullptr; // the zone under the mouse
    state::zones::ZoneUnderPointer m_zoneUnderPointer;

    // The pane of an eye at the chosen visit; while two visits are compared,
    // the pane of the chosen visit.
    Pane &paneOf(photos::Eye eye) { return comparing() || eye == photos::Eye::Right ? right : left; }
    const Pane &paneOf(photos::Eye eye) const { return comparing() || eye == photos::Eye::Right ? right : left; }
    Pane &otherPane(const Pane &p) { return &p == &right ? left : right; }
    bool comparing() const;

    void addPhotoTo(Pane &p);
    void findCirclesIn(Pane &p);
    void takeOffPhotoIn(Pane &p);
    void clickedIn(Pane &p, QPointF photoPoint);
    void hoveredIn(const Pane &p, QPointF photoPoint);
    void showVisits(const QList<photos::CardKey> &cards);
    void followFraming(const Pane &p);
    // The blocks under the two photos one height, so that the photos are too.
    void evenOutPanes();
    // Both photos of a comparison with the iris in the middle, filling most of the view.
    void frameIrises();
    std::pair<int, int> m_framedPair{-1, -1}; // the photos compared when last framed so

    void buildPane(Pane &p, photos::Eye eye, const char *suffix);
    void showPane(Pane &p, const QList<photos::CardKey> &cards);
    void applyChart();
    void applyShow();
    void storeFit(Pane &p, const photos::iris::Fit &fit);
    bool cardTakesPhotos(const QList<photos::CardKey> &cards);
    // The pupil measured from the circles shown; not while they are only
    // proposed (not found).
    void measure(Pane &p, bool circlesFound = true);
    // The measures between the eyes or between the visits, and the offers.
    void showMeasures();

    std::vector<photos::iris::Offer> m_offers;
    struct Outline {
        state::chartgeom::Chart chart = state::chartgeom::Chart::Deck;
        bool rightEye = true;
        int colour = -1;
    } m_outline;

    photos::CardKey m_card;
    bool m_haveCard = false;
    QStringList m_visits; // the card's visits with photos, oldest first
    QString m_visit;      // the visit shown
    std::optional<QString> m_newVisit; // a visit chosen that has no photos yet
    std::optional<QString> m_compare;  // the visit compared with
};
