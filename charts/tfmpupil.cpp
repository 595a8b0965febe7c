#include "charts/tfmpupil.h"

#include "charts/chartpicture.h"
#include "charts/pupilcodes.h"
#include "platform/controls.h"
#include "platform/paths.h"
#include "platform/place.h"
#include "platform/prompter.h"
#include "state/examination.h"
#include "state/keyedlines.h"
#include "state/windows.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kMenuHint = QStringLiteral("Графическое меню");

} // namespace

TfmPupil::TfmPupil(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmPupil"));
    setWindowTitle(QStringLiteral("Зрачок и кайма"));

    pcPupil = new QTabWidget(this);
    pcPupil->setObjectName(QStringLiteral("pcPupil"));
    pcPupil->setDocumentMode(true);
    imDecen = new ChartPicture(QStringLiteral("imDecen"), kMenuHint);
    imFlatRorL = new ChartPicture(QStringLiteral("imFlatRorL"), kMenuHint);
    imFlatBoth = new ChartPicture(QStringLiteral("imFlatBoth"), kMenuHint);
    imBorder = new ChartPicture(QStringLiteral("imBorder"), kMenuHint);

    // Decentration and border pictures sit 5 pixels from the left and 16
    // from the top of their page; the flattening ones at their tab's corner.
    const QMargins pageMargins(5, 16, 0, 0);
    tsDecenter = charts::pictureTab(pcPupil, "tsDecenter", QStringLiteral("Децентрация "), imDecen, pageMargins);
    tsFlatten = new QWidget(pcPupil);
    tsFlatten->setObjectName(QStringLiteral("tsFlatten"));
    auto *flatLayout = new QVBoxLayout(tsFlatten);
    flatLayout->setContentsMargins(0, 0, 0, 0);
    pcFlat = new QTabWidget(tsFlatten);
    pcFlat->setObjectName(QStringLiteral("pcFlat"));
    pcFlat->setDocumentMode(true);
    flatLayout->addWidget(pcFlat);
    pcPupil->addTab(tsFlatten, QStringLiteral("Уплощение "));
    tsFlatRorL = charts::pictureTab(pcFlat, "tsFlatRorL", QStringLiteral("Только правый или левый"), imFlatRorL, {});
    tsFlatBoth = charts::pictureTab(pcFlat, "tsFlatBoth", QStringLiteral("Оба "), imFlatBoth, {});
    tsBorder = charts::pictureTab(pcPupil, "tsBorder", QStringLiteral("Кайма "), imBorder, pageMargins);

    connect(imDecen, &ChartPicture::pressed, this, &TfmPupil::pressDecentration);
    connect(imFlatRorL, &ChartPicture::pressed, this, &TfmPupil::pressFlatOne);
    connect(imFlatBoth, &ChartPicture::pressed, this, &TfmPupil::pressFlatBoth);
    connect(imBorder, &ChartPicture::pressed, this, &TfmPupil::pressBorder);

    Panel1 = charts::clickRow(this, &Label1, &Edit1, QStringLiteral("Наименование патологии"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pcPupil, 1);
    layout->addWidget(Panel1);
    platform::place::outer(this, 362, 70, 409, 502);
}

void TfmPupil::showPage(const QString &page)
{
    for (QWidget *ts : {tsDecenter, tsFlatten, tsBorder}) {
        if (ts->objectName() == page)
            pcPupil->setCurrentWidget(ts);
    }
}

bool TfmPupil::pressPatch(const QString &picture, QPoint pixel)
{
    struct Target {
        ChartPicture *picture;
        QWidget *page;
        QWidget *tab; // within the flattening page
        void (TfmPupil::*handler)(int, int);
    };
    const Target targets[] = {
        {imDecen, tsDecenter, nullptr, &TfmPupil::pressDecentration},
        {imFlatRorL, tsFlatten, tsFlatRorL, &TfmPupil::pressFlatOne},
        {imFlatBoth, tsFlatten, tsFlatBoth, &TfmPupil::pressFlatBoth},
        {imBorder, tsBorder, nullptr, &TfmPupil::pressBorder},
    };
    for (const Target &t : targets) {
        if (t.picture->objectName() != picture)
            continue;
        pcPupil->setCurrentWidget(t.page);
        if (t.tab)
            pcFlat->setCurrentWidget(t.tab);
        (this->*t.handler)(pixel.x(), pixel.y());
        return true;
    }
    return false;
}

void TfmPupil::pressDecentration(int x, int y) { click(imDecen, x, y, charts::pupil::kDecentration); }
void TfmPupil::pressFlatOne(int x, int y) { click(imFlatRorL, x, y, charts::pupil::kFlatOne); }
void TfmPupil::pressFlatBoth(int x, int y) { click(imFlatBoth, x, y, charts::pupil::kFlatBoth); }
void TfmPupil::pressBorder(int x, int y) { click(imBorder, x, y, charts::pupil::kBorder); }

void TfmPupil::click(ChartPicture *picture, int x, int y, const QString &nameFile)
{
    charts::takePress(*picture, QPoint(x, y), PupilClickX, PupilClickY, PupilColourKey, Label1,
                      [&] { LookupPupilVariant(nameFile); });
}

void TfmPupil::LookupPupilVariant(const QString &nameFile)
{
    state::windows().open(QStringLiteral("fmDeep"));
    state::Examination &exam = state::examination();
    Edit1->clear();
    const int key = PupilColourKey.toInt();
    const state::keyed::Matches found = state::keyed::matching(nameFile, key);
    // Every line with the key is taken in turn: the last one names the sign,
    // and the code table is applied (its note shown) once per line.
    for (const QString &name : found.data) {
        Edit1->setText(name);
        const std::optional<charts::pupil::Codes> codes =
            charts::pupil::variantCodes(nameFile, key, exam.chosenEye() == state::Eye::Right);
        exam.choosePupilVariant(name, codes ? std::optional(codes->codes) : std::nullopt);
        if (codes && !codes->message.isEmpty())
            platform::ui::inform(this, codes->message);
    }
    if (!found.ok)
        platform::ui::showMessage(this, platform::paths::absentMessage(nameFile));
}
