#include "shell/workfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef NIREL3_DATA_FROM_BIN
#define NIREL3_DATA_FROM_BIN "../share/nirel3"
#endif

namespace shell::workfolder {

QString location()
{
    const QString home = qEnvironmentVariable("NIREL3_HOME");
    if (!home.isEmpty())
        return QDir(home).absolutePath();
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(data).absoluteFilePath(QStringLiteral("nirel3"));
}

QString shippedData()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString &candidate : {bin.absoluteFilePath(QStringLiteral(NIREL3_DATA_FROM_BIN)),
                                     bin.absoluteFilePath(QStringLiteral("data"))}) {
        if (isWorkFolder(candidate))
            return QDir::cleanPath(candidate);
    }
    return {};
}

bool isWorkFolder(const QString &folder)
{
    return QFileInfo(QDir(folder).filePath(QStringLiteral("SystmTxt"))).isDir();
}

bool seed(const QString &folder, const QString &from, QString *error)
{
    const QDir source(from);
    if (from.isEmpty() || !source.exists()) {
        *error = QStringLiteral("не найдены данные программы (папка share/nirel3 рядом с папкой программы)");
        return false;
    }
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("не удаётся создать папку ") + folder;
        return false;
    }
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        const QString to = target.filePath(relative);
        if (QFileInfo::exists(to))
            continue;
        if (!target.mkpath(QFileInfo(relative).path()) || !QFile::copy(file, to)) {
            *error = QStringLiteral("не удаётся скопировать ") + relative + QStringLiteral(" в ") + folder;
            return false;
        }
        // The shipped files may be read-only (an installed package); the
        // copies are the user's to edit.
        QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    }
    return true;
}

QString enter(const QString &shipped)
{
    if (isWorkFolder(QDir::currentPath()))
        return {};
    const QString folder = location();
    QString error;
    if (!isWorkFolder(folder) && !seed(folder, shipped, &error))
        return QStringLiteral("Не удаётся подготовить рабочую папку программы ") + folder + QStringLiteral(": ") +
               error;
    if (!QDir::setCurrent(folder))
        return QStringLiteral("Не удаётся перейти в рабочую папку программы ") + folder;
    return {};
}

} // namespace shell::workfolder
