#include "state/cardfilter.h"

#include "state/cardlistmodel.h"

#include <algorithm>

namespace state::cardfilter {

namespace {

char16_t folded(char16_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
    if (c >= 0x0410 && c <= 0x042F) // А-Я
        return char16_t(c + 32);
    if (c == 0x0451 || c == 0x0401) // ё, Ё
        return 0x0435;
    if (c >= 0x0430 && c <= 0x044F)
        return c;
    return QChar::toLower(c);
}

} // namespace

QString fold(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        c = QChar(folded(c.unicode()));
    return out;
}

bool matches(const QString &displayText, const QString &foldedKey)
{
    const char16_t *p = reinterpret_cast<const char16_t *>(displayText.constData());
    const char16_t *end = p + displayText.size();
    while (p < end && (*p == u' ' || *p == u'\t'))
        ++p;
    if (end - p < foldedKey.size())
        return false;
    const char16_t *k = reinterpret_cast<const char16_t *>(foldedKey.constData());
    for (qsizetype i = 0; i < foldedKey.size(); ++i) {
        if (folded(p[i]) != k[i])
            return false;
    }
    return true;
}

int TypeAhead::type(const QString &typed, bool afresh, int current, qsizetype count,
                    const std::function<QString(int)> &textAt)
{
    m_typed = afresh ? typed : m_typed + typed;
    QString key = fold(m_typed);
    // "ппп" steps through the entries starting with "п".
    const bool sameLetter = key.size() > 1 && key.count(key.back()) == key.size();
    if (sameLetter)
        key = key.back();
    const bool next = afresh || sameLetter || current < 0;
    const qsizetype start = next ? current + 1 : current;
    for (qsizetype i = 0; i < count; ++i) {
        const int row = int((start + i) % count);
        if (matches(textAt(row), key))
            return row;
    }
    return -1;
}

} // namespace state::cardfilter

CardFilterModel::CardFilterModel(CardListModel *source, QObject *parent)
    : QAbstractListModel(parent), m_source(source)
{
    connect(source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(source, &QAbstractItemModel::modelReset, this, [this] {
        refilter(false);
        endResetModel();
    });
    connect(source, &QAbstractItemModel::rowsInserted, this, &CardFilterModel::sourceInserted);
    connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &CardFilterModel::sourceAboutToRemove);
    connect(source, &QAbstractItemModel::rowsRemoved, this, &CardFilterModel::sourceRemoved);
    connect(source, &QAbstractItemModel::dataChanged, this, &CardFilterModel::sourceChanged);
}

int CardFilterModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return filtered() ? int(m_rows.size()) : m_source->rowCount();
}

QVariant CardFilterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    return m_source->data(m_source->index(sourceRow(index.row())), role);
}

int CardFilterModel::sourceRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return filtered() ? m_rows[size_t(row)] : row;
}

int CardFilterModel::rowOf(int sourceRow) const
{
    if (sourceRow < 0 || sourceRow >= m_source->rowCount())
        return -1;
    if (!filtered())
        return sourceRow;
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), sourceRow);
    return it != m_rows.end() && *it == sourceRow ? int(it - m_rows.begin()) : -1;
}

void CardFilterModel::setFilterText(const QString &text)
{
    if (text == m_text)
        return;
    const QString key = state::cardfilter::fold(text.trimmed());
    // A key that only grows needs only the entries shown now looked at.
    const bool narrower = filtered() && key.startsWith(m_key);
    m_text = text;
    if (key == m_key)
        return;
    beginResetModel();
    m_key = key;
    refilter(narrower);
    endResetModel();
}

void CardFilterModel::refilter(bool narrower)
{
    if (!filtered()) {
        m_rows.clear();
        return;
    }
    const QList<CardEntry> &entries = m_source->entries();
    std::vector<int> rows;
    if (narrower) {
        for (int r : m_rows) {
            if (state::cardfilter::matches(entries.at(r).text, m_key))
                rows.push_back(r);
        }
    } else {
        for (int r = 0; r < int(entries.size()); ++r) {
            if (state::cardfilter::matches(entries.at(r).text, m_key))
                rows.push_back(r);
        }
    }
    m_rows = std::move(rows);
}

void CardFilterModel::sourceInserted(const QModelIndex &, int first, int last)
{
    if (!filtered()) {
        beginInsertRows(QModelIndex(), first, last);
        endInsertRows();
        return;
    }
    // New entries are shown, whatever the search text (see the header).
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), first);
    const int row = int(at - m_rows.begin());
    const int count = last - first + 1;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    for (auto it = at; it != m_rows.end(); ++it)
        *it += count;
    std::vector<int> added(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        added[size_t(i)] = first + i;
    m_rows.insert(m_rows.begin() + row, added.begin(), added.end());
    endInsertRows();
}

// The view is told before the entries go and after they have gone; the rows
// shown are renumbered in between.
void CardFilterModel::sourceAboutToRemove(const QModelIndex &, int first, int last)
{
    m_removing = {first, last, -1, -1};
    if (!filtered()) {
        m_removing.fromRow = first;
        m_removing.toRow = last;
    } else {
        const auto from = std::lower_bound(m_rows.begin(), m_rows.end(), first);
        const auto to = std::upper_bound(from, m_rows.end(), last);
        if (from != to) {
            m_removing.fromRow = int(from - m_rows.begin());
            m_removing.toRow = int(to - m_rows.begin()) - 1;
        }
    }
    if (m_removing.fromRow >= 0)
        beginRemoveRows(QModelIndex(), m_removing.fromRow, m_removing.toRow);
}

void CardFilterModel::sourceRemoved()
{
    if (filtered()) {
        const int count = m_removing.last - m_removing.first + 1;
        const auto from = std::lower_bound(m_rows.begin(), m_rows.end(), m_removing.first);
        const auto to = std::upper_bound(from, m_rows.end(), m_removing.last);
        for (auto it = to; it != m_rows.end(); ++it)
            *it -= count;
        m_rows.erase(from, to);
    }
    if (m_removing.fromRow >= 0)
        endRemoveRows();
}

void CardFilterModel::sourceChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                    const QList<int> &roles)
{
    const int first = rowOf(topLeft.row());
    const int last = rowOf(bottomRight.row());
    if (first >= 0 && last >= 0)
        emit dataChanged(index(first), index(last), roles);
    else
        for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
            if (const int row = rowOf(r); row >= 0)
                emit dataChanged(index(row), index(row), roles);
        }
}
