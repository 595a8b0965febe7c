#pragma once
// The entries of the card index list, each a display text with maybe a
// record. A model of our own keeps a list of a hundred thousand cards cheap:
// the view asks only for the rows it shows.
#include "state/cardindexfile.h"

#include <QAbstractListModel>

class CardListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CardListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const QList<CardEntry> &entries() const { return m_entries; }
    const CardEntry &entry(int row) const { return m_entries.at(row); }

    // Replaces every entry (opening a file, emptying the list).
    void setEntries(QList<CardEntry> entries);
    void clear() { setEntries({}); }
    void append(const CardEntry &entry);
    void remove(int row);
    void setRecord(int row, const THuman &record);
    void setText(int row, const QString &text);

private:
    QList<CardEntry> m_entries;
};
