#include "state/windows.h"

#include <QWidget>

namespace state {

void Windows::enrol(const QString &name, const Entry &entry)
{
    m_entries.insert(name, entry);
}

QWidget *Windows::open(const QString &name, QWidget *owner)
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it->open(owner);
}

QWidget *Windows::existing(const QString &name) const
{
    const auto it = m_entries.constFind(name);
    return it == m_entries.constEnd() ? nullptr : it->existing();
}

Windows &windows()
{
    static Windows registry;
    return registry;
}

} // namespace state
