#pragma once
// A fresh working folder and a fresh examination for each test, and a
// window's control found by its object name (its written name).
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class TestEnv {
public:
    // Makes an empty temporary folder the working directory.
    TestEnv();
    // Restores the working directory, destroys every window, clears the state.
    ~TestEnv();

    QString path(const QString &relative = {}) const;
    // Copies a shipped data file (relative to data/) into the working folder.
    void seed(const QString &relative) const;
    // Writes raw bytes to a file of the working folder (folders are created).
    void writeBytes(const QString &relative, const QByteArray &bytes) const;
    // Writes lines as Windows-1251 with CR LF.
    void writeLines(const QString &relative, const QStringList &lines) const;
    QByteArray readBytes(const QString &relative) const;

    static QString sourcePath(const QString &relative);
    static QString testDataPath(const QString &relative);
    // Destroys every window the program may have created and clears the state.
    static void resetProgram();

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

// While alive, no file of this process can grow beyond the given size: a
// write past it fails the way a full disk does, also for root. Used to make
// saves fail on purpose.
class WriteLimit {
public:
    explicit WriteLimit(long long bytes);
    ~WriteLimit();
    WriteLimit(const WriteLimit &) = delete;
    WriteLimit &operator=(const WriteLimit &) = delete;

private:
    unsigned long long m_oldSoft = 0;
    void (*m_oldHandler)(int) = nullptr;
};

// The control of a window named so; a missing one stops the test run,
// naming the window and the control.
template <class T> T *control(const QObject *window, const char *name)
{
    if (T *found = window ? window->findChild<T *>(QString::fromLatin1(name)) : nullptr)
        return found;
    qFatal("no control %s in %s", name, window ? qPrintable(window->objectName()) : "(no window)");
}
