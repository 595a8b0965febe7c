#include "state/cardindex.h"

#include "state/cardbackup.h"
#include "state/cardlistmodel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QUuid>

namespace state::cards {

namespace {

const QString kNewPatient = QStringLiteral("Новый пациент");

} // namespace

CardIndex::CardIndex(QObject *parent)
    : QObject(parent)
    , m_model(new CardListModel(this))
    , m_lockMark(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

CardIndex::~CardIndex()
{
    dropLock();
}

const QList<CardEntry> &CardIndex::entries() const
{
    return m_model->entries();
}

THuman CardIndex::cardOf(int row) const
{
    const CardEntry &e = m_model->entry(row);
    return e.record ? *e.record : THuman(e.text);
}

void CardIndex::setDirty(bool on)
{
    if (CardIndexDirty == int(on))
        return;
    CardIndexDirty = int(on);
    emit dirtyChanged(on);
}

void CardIndex::setTakenOut(bool on)
{
    if (CardTakenOut == int(on))
        return;
    CardTakenOut = int(on);
    emit takenOutChanged(on);
}

void CardIndex::editCard(const THuman &card)
{
    if (card == m_card)
        return;
    m_card = card;
    emit cardChanged();
}

void CardIndex::setConclFile(const QString &fileName)
{
    THuman card = m_card;
    card.Concl = fileName;
    editCard(card);
    emit conclFileChanged(fileName);
}

void CardIndex::setStartValues()
{
    setDirty(false);
    setTakenOut(false);
    m_takenOut = QPersistentModelIndex();
    m_haveTakenOut = false;
}

void CardIndex::reset()
{
    clear();
    setStartValues();
    editCard(THuman());
    m_examEntry = QPersistentModelIndex();
    m_examCard.reset();
}

cardlock::Take CardIndex::takeLock(const QString &listFile, QString *error)
{
    const cardlock::Take t = cardlock::take(listFile, self(), error);
    if (t == cardlock::Take::Taken)
        m_claimed = listFile;
    return t;
}

cardlock::Take CardIndex::takeOverLock(const QString &listFile, const cardlock::Holder &seen, QString *error)
{
    const cardlock::Take t = cardlock::takeOver(listFile, seen, self(), error);
    if (t == cardlock::Take::Taken)
        m_claimed = listFile;
    return t;
}

void CardIndex::keepClaim(const QString &listFile)
{
    if (m_lockedFile != listFile) {
        dropLock();
        if (m_claimed == listFile)
            m_lockedFile = listFile;
    }
    m_claimed.clear();
}

void CardIndex::dropClaim(const QString &listFile)
{
    if (!m_claimed.isEmpty() && m_claimed == listFile)
        cardlock::release(listFile, self());
    m_claimed.clear();
}

void CardIndex::releaseLock()
{
    dropClaim(m_claimed);
    dropLock();
}

void CardIndex::dropLock()
{
    if (!m_lockedFile.isEmpty())
        cardlock::release(m_lockedFile, self());
    m_lockedFile.clear();
}

void CardIndex::setReadOnly(bool on, const QString &why)
{
    const bool changed = m_readOnly != on || m_readOnlyWhy != (on ? why : QString());
    m_readOnly = on;
    m_readOnlyWhy = on ? why : QString();
    if (changed)
        emit readOnlyChanged(on);
}

CardIndex::Opened CardIndex::open(const QString &listFile, Access access)
{
    // Both files are read and checked before the list changes, so a bad
    // pair leaves the list, the file name and the flags as they were. Only
    // the lock's holder finishes what a save cut short left beside it.
    cardindex::ReadResult read = cardindex::readPair(
        listFile, access == Access::Edit ? cardindex::Role::Holder : cardindex::Role::Reader);
    if (!read.ok) {
        dropClaim(listFile);
        return {false, read.message, {}};
    }
    if (access == Access::Edit) {
        keepClaim(listFile);
    } else {
        if (m_lockedFile != listFile)
            dropLock();
        m_claimed.clear();
    }
    m_model->setEntries(std::move(read.entries));
    m_listFile = listFile;
    m_stamp = read.stamp;
    if (access == Access::ReadOnly) {
        const std::optional<cardlock::Holder> holder = cardlock::holderOf(listFile);
        setReadOnly(true, holder ? QStringLiteral("её открыл(а) ") + cardlock::describe(*holder)
                                 : QStringLiteral("её нельзя отметить как открытую"));
    } else {
        setReadOnly(false);
    }
    // A freshly read card index counts as unsaved; one open to read only
    // holds nothing to save yet (what the list held before was saved or
    // given up by the caller).
    setDirty(access == Access::Edit);
    m_changed = false;
    emit opened(listFile);
    return {true, {}, read.warning};
}

QString CardIndex::refusal(const QString &listFile) const
{
    if (!m_readOnly || QFileInfo(listFile) != QFileInfo(m_listFile))
        return {};
    return QStringLiteral("Картотека ") + m_listFile + QStringLiteral(" открыта только для чтения: ") + m_readOnlyWhy +
           QStringLiteral(".\nСохраните картотеку под другим именем.");
}

cardindex::WriteResult CardIndex::replace(const QString &listFile, const Writer &write,
                                          const ReplaceChanged &replaceChanged)
{
    cardindex::SaveOptions options;
    options.keepBackups = cardbackup::kKeep;
    // The pair last read or written here must still be on disk as it was;
    // any other name is a pair the user chose to overwrite.
    if (listFile == m_listFile)
        options.expected = m_stamp;
    cardindex::WriteResult written = write(options);
    if (written.changedOnDisk) {
        if (!replaceChanged(written.message)) {
            dropClaim(listFile);
            written.message.clear();
            return written;
        }
        options.expected.reset();
        written = write(options);
    }
    if (!written.ok) {
        dropClaim(listFile);
        return written;
    }
    keepClaim(listFile);
    cardlock::refresh(listFile, self());
    // Saved under another name, the copy is this card index's own pair.
    if (m_readOnly)
        setReadOnly(false);
    m_listFile = listFile;
    m_stamp = written.stamp;
    setDirty(false);
    m_changed = false;
    emit saved(listFile);
    return written;
}

cardindex::WriteResult CardIndex::saveAs(const QString &listFile, const ReplaceChanged &replaceChanged)
{
    return replace(
        listFile,
        [&](const cardindex::SaveOptions &options) { return cardindex::writePair(listFile, entries(), options); },
        replaceChanged);
}

QList<cardbackup::Backup> CardIndex::backups() const
{
    return m_listFile.isEmpty() ? QList<cardbackup::Backup>{} : cardbackup::list(m_listFile);
}

cardindex::WriteResult CardIndex::restore(const QString &backupListFile, QList<CardEntry> entries,
                                          const ReplaceChanged &replaceChanged)
{
    const QString listFile = m_listFile;
    cardindex::WriteResult written = replace(
        listFile,
        [&](const cardindex::SaveOptions &options) {
            return cardindex::restorePair(listFile, backupListFile, options);
        },
        replaceChanged);
    if (written.ok)
        m_model->setEntries(std::move(entries));
    return written;
}

void CardIndex::clear()
{
    m_model->clear();
    m_listFile.clear();
    m_stamp.reset();
    dropLock();
    setReadOnly(false);
    m_changed = false;
    emit cleared();
}

int CardIndex::newCard()
{
    m_model->append(CardEntry{kNewPatient, THuman(kNewPatient)});
    setDirty(true);
    m_changed = true;
    return m_model->rowCount() - 1;
}

THuman CardIndex::takeOut(int row)
{
    if (!m_model->entry(row).record)
        m_model->setRecord(row, THuman(m_model->entry(row).text));
    const THuman card = *m_model->entry(row).record;
    setTakenOut(true);
    m_takenOut = QPersistentModelIndex(m_model->index(row));
    m_haveTakenOut = true;
    m_examEntry = m_takenOut;
    m_examCard = card;
    editCard(card);
    return card;
}

int CardIndex::takenOutRow() const
{
    return m_haveTakenOut && m_takenOut.isValid() ? m_takenOut.row() : -1;
}

bool CardIndex::cardOutChanged() const
{
    if (!hasCardTakenOut())
        return false;
    // A card only looked at is no work; one whose entry has gone is the
    // only copy of what the fields hold.
    if (const int row = takenOutRow(); row >= 0) {
        const std::optional<THuman> &record = m_model->entry(row).record;
        return !record || *record != m_card;
    }
    return true;
}

void CardIndex::detachCard()
{
    m_takenOut = QPersistentModelIndex();
    m_haveTakenOut = false;
}

void CardIndex::writeBack(int row, const THuman &card)
{
    const std::optional<THuman> before = m_model->entry(row).record;
    const bool sameCard = m_haveTakenOut;
    m_model->setRecord(row, card);
    m_model->setText(row, human::displayText(card));
    if (sameCard && before)
        emit cardRewritten(*before, card);
    setTakenOut(false);
    setDirty(true);
    m_changed = true;
    m_takenOut = QPersistentModelIndex();
    m_haveTakenOut = false;
    editCard(THuman());
}

void CardIndex::remove(int row)
{
    const std::optional<THuman> gone = m_model->entry(row).record;
    m_model->remove(row);
    if (gone)
        emit cardDeleted(*gone);
    setDirty(true);
    m_changed = true;
}

void CardIndex::noteChange()
{
    setDirty(true);
    m_changed = true;
}

void CardIndex::noteUnsaved()
{
    setDirty(true);
}

bool CardIndex::examinesAnotherCard(int row) const
{
    if (!m_examCard)
        return false;
    if (m_examEntry.isValid())
        return m_examEntry.row() != row;
    // The entry has gone (deleted, another list opened): the same patient
    // with the same date is the same card.
    const THuman now = cardOf(row);
    return !(human::samePatient(*m_examCard, now) && m_examCard->Date.simplified() == now.Date.simplified());
}

void CardIndex::examinationRestarted()
{
    if (const int row = takenOutRow(); row >= 0) {
        m_examEntry = m_takenOut;
        m_examCard = m_model->entry(row).record;
    } else {
        m_examEntry = QPersistentModelIndex();
        m_examCard.reset();
    }
}

CardIndex &cardIndex()
{
    static CardIndex index;
    // The program ends: the lock goes while everything it needs is still there.
    static const bool letGoAtQuit = [] {
        if (QCoreApplication *app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, &index, &CardIndex::releaseLock);
        return true;
    }();
    Q_UNUSED(letGoAtQuit);
    return index;
}

} // namespace state::cards
