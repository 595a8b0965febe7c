#include "state/cardlistmodel.h"

CardListModel::CardListModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int CardListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant CardListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_entries.at(index.row()).text;
    return {};
}

void CardListModel::setEntries(QList<CardEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void CardListModel::append(const CardEntry &entry)
{
    const int row = int(m_entries.size());
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(entry);
    endInsertRows();
}

void CardListModel::remove(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void CardListModel::setRecord(int row, const THuman &record)
{
    if (row < 0 || row >= m_entries.size())
        return;
    m_entries[row].record = record;
}

void CardListModel::setText(int row, const QString &text)
{
    if (row < 0 || row >= m_entries.size())
        return;
    m_entries[row].text = text;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::AccessibleTextRole});
}
