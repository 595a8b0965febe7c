#pragma once
// The card list as the list view shows it: all entries, or only those whose
// surname starts with the letters typed in the search field. The list shows
// the surname first, so the display text is what is matched: leading blanks
// skipped, case ignored, "ё" taken for "е".
//
// The filter is applied as the letters are typed; an entry added or renamed
// meanwhile stays in view until the search text changes, so that a card
// never vanishes under the user's hands. Every row of this model names one
// entry of the card list (sourceRow), and every operation of the window
// works on that entry.
#include <QAbstractListModel>
#include <QString>

#include <vector>

class CardListModel;

namespace cardfilter {

// Case and "ё" folded away: "Ёлкин" and "елкин" fold alike.
QString fold(const QString &text);
// Whether a display text starts with the folded key.
bool matches(const QString &displayText, const QString &foldedKey);

} // namespace cardfilter

class CardFilterModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit CardFilterModel(CardListModel *source, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Shows the entries that match text (all when it is empty).
    void setFilterText(const QString &text);
    QString filterText() const { return m_text; }
    bool filtered() const { return !m_key.isEmpty(); }

    // The entry shown in a row, and the row of an entry (-1 if not shown).
    int sourceRow(int row) const;
    int rowOf(int sourceRow) const;

private:
    void refilter(bool narrower);
    void sourceInserted(const QModelIndex &, int first, int last);
    void sourceAboutToRemove(const QModelIndex &, int first, int last);
    void sourceRemoved();
    void sourceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles);

    CardListModel *m_source;
    QString m_text;
    QString m_key;          // folded
    std::vector<int> m_rows; // the entries shown, in list order, when filtered
    struct Removal {
        int first, last;      // entries
        int fromRow, toRow;   // rows shown, -1 if none
    } m_removing{};
};
