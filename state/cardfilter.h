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

#include <functional>
#include <vector>

class CardListModel;

namespace state::cardfilter {

// Case and "ё" folded away: "Ёлкин" and "елкин" fold alike.
QString fold(const QString &text);
// Whether a display text starts with the folded key.
bool matches(const QString &displayText, const QString &foldedKey);

// Letters typed into the list itself jump to a patient, as in any list box:
// the letters typed in quick succession are looked for from the entry
// selected on (from the next one when the typing starts afresh), and one
// letter typed again and again steps through the entries it starts. The
// list's display texts are matched by the same rule as the search field.
class TypeAhead {
public:
    // The row of `texts` to select after `typed` is typed with `current`
    // selected (-1 for none); `afresh` when the pause since the last key
    // was longer than the keyboard input interval. -1 when none matches.
    int type(const QString &typed, bool afresh, int current, qsizetype count,
             const std::function<QString(int)> &textAt);
    QString typed() const { return m_typed; }

private:
    QString m_typed;
};

} // namespace state::cardfilter

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
