#include "express/tfmexpress.h"

#include "conclusion/concldoor.h"
#include "help/help.h"
#include "platform/controls.h"
#include "platform/place.h"
#include "state/examination.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

TfmExpress::TfmExpress(QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("fmExpress"));
    setWindowTitle(QStringLiteral("Экспресс-диагностика"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    tsVelhover = makePage(express::Method::Velkhover, QStringLiteral("gbExVelSign"), gbExVelSign,
                          clbExVelSign, OKBtnVelSign, CancelBtnExVelSign, QStringLiteral("gbExVelConcl"),
                          gbExVelConcl, mExVelCncl);
    tsVelhover->setObjectName(QStringLiteral("tsVelhover"));
    tsKryvenko = makePage(express::Method::Krivenko, QStringLiteral("gbSign"), gbSign, clbExKrySign,
                          OKBtnKrySign, CancelBtnExKrySign, QStringLiteral("gbExKryConcl"), gbExKryConcl,
                          mExKryCncl);
    tsKryvenko->setObjectName(QStringLiteral("tsKryvenko"));
    PageControl1->addTab(tsVelhover, QStringLiteral("По Вельховеру"));
    PageControl1->addTab(tsKryvenko, QStringLiteral("По Кривенко"));
    PageControl1->setCurrentWidget(tsVelhover);

    clbExVelSign->setObjectName(QStringLiteral("clbExVelSign"));
    OKBtnVelSign->setObjectName(QStringLiteral("OKBtnVelSign"));
    CancelBtnExVelSign->setObjectName(QStringLiteral("CancelBtnExVelSign"));
    mExVelCncl->setObjectName(QStringLiteral("mExVelCncl"));
    clbExKrySign->setObjectName(QStringLiteral("clbExKrySign"));
    OKBtnKrySign->setObjectName(QStringLiteral("OKBtnKrySign"));
    CancelBtnExKrySign->setObjectName(QStringLiteral("CancelBtnExKrySign"));
    mExKryCncl->setObjectName(QStringLiteral("mExKryCncl"));

    // The Velkhover result box starts with one empty line, the Krivenko box empty.
    mExVelCncl->setLines({QString()});

    OKBtn = platform::ui::makeButton(this, "OKBtn", QStringLiteral("Заключение"),
                       QStringLiteral("Просмотр полученныхе результатов в окне заключения"),
                       style()->standardIcon(QStyle::SP_DialogOkButton));
    OKBtn->setDefault(true);
    CancelBtn = platform::ui::makeButton(this, "CancelBtn", QStringLiteral("Закрыть"), QString(),
                           style()->standardIcon(QStyle::SP_DialogCloseButton));
    HelpBtn = help::makeButton(this, "HelpBtn");

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(OKBtn);
    bottom->addWidget(CancelBtn);
    bottom->addWidget(HelpBtn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 4);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);

    connect(OKBtnVelSign, &QPushButton::clicked, this, &TfmExpress::evaluateVelkhover);
    connect(OKBtnKrySign, &QPushButton::clicked, this, &TfmExpress::evaluateKrivenko);
    connect(CancelBtnExVelSign, &QPushButton::clicked, this, &TfmExpress::clearVelkhover);
    connect(CancelBtnExKrySign, &QPushButton::clicked, this, &TfmExpress::clearKrivenko);
    connect(OKBtn, &QPushButton::clicked, this, &TfmExpress::storeResults);
    connect(CancelBtn, &QPushButton::clicked, this, &TfmExpress::cancel);
    connect(HelpBtn, &QPushButton::clicked, this, &TfmExpress::showHelp);

    platform::place::outer(this, 1, 96, 373, 469);
}

QWidget *TfmExpress::makePage(express::Method method, const QString &signBoxName, QGroupBox *&signBox,
                              QListWidget *&list, QPushButton *&score, QPushButton *&clear,
                              const QString &resultBoxName, QGroupBox *&resultBox, Memo *&result)
{
    auto *page = new QWidget;
    const QString signCaption = QStringLiteral("Признаки");
    signBox = new QGroupBox(signCaption, page);
    signBox->setObjectName(signBoxName);
    list = new QListWidget(signBox);
    list->setAccessibleName(signCaption);
    platform::ui::setHint(list, QStringLiteral("Список оцениваемых признаков"));
    for (const QString &text : express::checkItems(method)) {
        auto *item = new QListWidgetItem(text, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Every sign of the list in view at once: a check list is read whole.
    list->setMinimumHeight(list->sizeHintForRow(0) * list->count() + 2 * list->frameWidth());
    score = platform::ui::makeButton(signBox, "", QStringLiteral("Обработать"), QStringLiteral("Подготовка частного заключения"),
                       style()->standardIcon(QStyle::SP_DialogApplyButton));
    clear = platform::ui::makeButton(signBox, "", QStringLiteral("Очистить"), QStringLiteral("Очистка отмеченных позиций"),
                       style()->standardIcon(QStyle::SP_DialogResetButton));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(score);
    buttons->addWidget(clear);
    // Tight margins: the longest items fit the window's width unclipped.
    auto *signLayout = new QVBoxLayout(signBox);
    signLayout->setContentsMargins(4, 4, 4, 4);
    signLayout->addWidget(list, 1);
    signLayout->addLayout(buttons);

    const QString resultCaption = QStringLiteral("Уровень здоровья");
    resultBox = new QGroupBox(resultCaption, page);
    resultBox->setObjectName(resultBoxName);
    result = new Memo(resultBox);
    result->setAccessibleName(resultCaption);
    platform::ui::setHint(result, QStringLiteral("Частное заключение по результатам экспресс-диагностики"));
    result->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *resultLayout = new QVBoxLayout(resultBox);
    resultLayout->setContentsMargins(4, 4, 4, 4);
    resultLayout->addWidget(result);

    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);
    pageLayout->addWidget(signBox, 2);
    pageLayout->addWidget(resultBox, 1);
    return page;
}

void TfmExpress::untickAll(QListWidget *list)
{
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Unchecked);
}

QList<bool> TfmExpress::ticks(const QListWidget *list)
{
    QList<bool> out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->checkState() == Qt::Checked);
    return out;
}

void TfmExpress::clearVelkhoverPage()
{
    mExVelCncl->clearLines();
    untickAll(clbExVelSign);
}

void TfmExpress::clearKrivenkoPage()
{
    mExKryCncl->clearLines();
    untickAll(clbExKrySign);
}

void TfmExpress::evaluateVelkhover()
{
    mExVelCncl->setLines(express::resultLines(express::Method::Velkhover, ticks(clbExVelSign)));
}

void TfmExpress::evaluateKrivenko()
{
    mExKryCncl->setLines(express::resultLines(express::Method::Krivenko, ticks(clbExKrySign)));
}

void TfmExpress::clearVelkhover()
{
    clearVelkhoverPage();
}

void TfmExpress::clearKrivenko()
{
    clearKrivenkoPage();
}

void TfmExpress::storeResults()
{
    // Only the page on view is stored; both pages are emptied either way, and
    // the other method's earlier stored lines are combined again. The draft
    // window shows the express section.
    conclusion::concl::open();
    state::Examination &exam = state::examination();
    if (PageControl1->currentWidget() == tsVelhover)
        exam.confirmVelkhover(mExVelCncl->lines());
    else
        exam.confirmKrivenko(mExKryCncl->lines());
    clearVelkhoverPage();
    clearKrivenkoPage();
}

void TfmExpress::cancel()
{
    clearVelkhoverPage();
    close();
}

void TfmExpress::showHelp()
{
    help::showContext(help::kExpressContext);
}

void TfmExpress::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
            // A focused button takes Enter for itself, as in a dialog.
            auto *focused = qobject_cast<QPushButton *>(focusWidget());
            (focused ? focused : OKBtn)->click();
            return;
        }
        break;
    case Qt::Key_Escape:
        CancelBtn->click();
        return;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}
