#include "testenv.h"

#include "photos/photostore.h"
#include "platform/textfile.h"
#include "shell/startup.h"
#include "state/cardindex.h"
#include "state/examination.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

TestEnv::TestEnv()
    : m_oldCwd(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    resetProgram();
}

TestEnv::~TestEnv()
{
    resetProgram();
    QDir::setCurrent(m_oldCwd);
}

QString TestEnv::path(const QString &relative) const
{
    return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
}

void TestEnv::seed(const QString &relative) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(sourcePath(QStringLiteral("data/") + relative), target);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestEnv::writeBytes(const QString &relative, const QByteArray &bytes) const
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile f(target);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void TestEnv::writeLines(const QString &relative, const QStringList &lines) const
{
    writeBytes(relative, platform::textfile::encodeLines(lines));
}

QByteArray TestEnv::readBytes(const QString &relative) const
{
    QFile f(path(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString TestEnv::sourcePath(const QString &relative)
{
    return QStringLiteral(NIREL3_SOURCE_DIR "/") + relative;
}

QString TestEnv::testDataPath(const QString &relative)
{
    return QStringLiteral(NIREL3_TEST_DIR "/") + relative;
}

void TestEnv::resetProgram()
{
    // Only windows of their own: a window owned by another goes with its
    // owner, and a drop-down list's popup with its list. Deleting a popup
    // first (the order of topLevelWidgets() is arbitrary) left its list
    // pointing at it, and the list's window then crashed on closing.
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (!w->parentWidget())
            windows.append(w);
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
    state::renewExamination();
    shell::enrolWindows();
    state::cards::cardIndex().reset();
    photos::store().reset();
}

#include <csignal>
#include <sys/resource.h>

WriteLimit::WriteLimit(long long bytes)
{
    rlimit lim{};
    getrlimit(RLIMIT_FSIZE, &lim);
    m_oldSoft = lim.rlim_cur;
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    lim.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &lim);
}

WriteLimit::~WriteLimit()
{
    rlimit lim{};
    getrlimit(RLIMIT_FSIZE, &lim);
    lim.rlim_cur = rlim_t(m_oldSoft);
    setrlimit(RLIMIT_FSIZE, &lim);
    std::signal(SIGXFSZ, m_oldHandler);
}
