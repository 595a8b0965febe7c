#include "cards/carddoor.h"

#include "cards/cardindex.h"
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
    const THuman &h = cards::cardIndex().card();
    return Patient{h.FName, h.LName, h.MName, c->dateLabel(), h.Date};
}

void watchPatient(QObject *context, const std::function<void()> &onChange)
{
    QObject::connect(&cards::cardIndex(), &cards::CardIndex::cardChanged, context, onChange);
}

void examinationRestarted()
{
    cards::cardIndex().examinationRestarted();
}

void setConclFile(const QString &name)
{
    cards::cardIndex().setConclFile(name);
}

QList<CardEntry> entries()
{
    return cards::cardIndex().entries();
}

void watchList(QObject *context, const std::function<void()> &onChange)
{
    CardListModel *m = cards::cardIndex().model();
    QObject::connect(m, &QAbstractItemModel::modelReset, context, onChange);
    QObject::connect(m, &QAbstractItemModel::rowsInserted, context, onChange);
    QObject::connect(m, &QAbstractItemModel::rowsRemoved, context, onChange);
    QObject::connect(m, &QAbstractItemModel::dataChanged, context, onChange);
}

} // namespace card
