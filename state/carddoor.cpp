#include "state/carddoor.h"

#include "state/cardindex.h"
#include "state/cardlistmodel.h"
#include "state/windows.h"

namespace state::card {

void open()
{
    state::windows().open(QStringLiteral("fmCard"));
}

bool exists()
{
    return !state::windows().fmCard.isNull();
}

Patient patient()
{
    if (!exists())
        return {};
    const THuman &h = cards::cardIndex().card();
    return Patient{h.FName, h.LName, h.MName, QStringLiteral("Дата:"), h.Date};
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

} // namespace state::card
