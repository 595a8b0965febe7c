#include "cards/carddoor.h"

#include "cards/cardlistmodel.h"
#include "cards/tfmcard.h"
#include "state/openwindow.h"

namespace card {

void open()
{
    state::openWindow(state::windows().fmCard);
}

bool exists()
{
    return !state::windows().fmCard.isNull();
}

Patient patient()
{
    const TfmCard *c = state::windows().fmCard.data();
    if (!c)
        return {};
    return Patient{c->FNameEdit->text(), c->LNameEdit->text(), c->MNameEdit->text(), c->lbDate->text(),
                   c->EditDate->text()};
}

PatientNotifier &patientNotifier()
{
    static PatientNotifier notifier;
    return notifier;
}

void examinationRestarted()
{
    if (TfmCard *c = state::windows().fmCard.data())
        c->examinationRestarted();
}

void setConclFile(const QString &name)
{
    state::ensureWindow(state::windows().fmCard)->ConclEdit->setText(name);
}

QList<CardEntry> entries()
{
    const TfmCard *c = state::windows().fmCard.data();
    return c ? c->model()->entries() : QList<CardEntry>{};
}

void watchList(QObject *context, const std::function<void()> &onChange)
{
    CardListModel *m = state::ensureWindow(state::windows().fmCard)->model();
    QObject::connect(m, &QAbstractItemModel::modelReset, context, onChange);
    QObject::connect(m, &QAbstractItemModel::rowsInserted, context, onChange);
    QObject::connect(m, &QAbstractItemModel::rowsRemoved, context, onChange);
    QObject::connect(m, &QAbstractItemModel::dataChanged, context, onChange);
}

} // namespace card
