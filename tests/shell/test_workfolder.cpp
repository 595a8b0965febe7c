// The working folder: where it is, how it is filled on the first start, and
// that nothing the user edited there is ever overwritten.
#include "platform/textfile.h"
#include "shell/workfolder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestWorkFolder : public QObject {
    Q_OBJECT
private slots:
    void location_data();
    void location();
    void seedCopiesWhatIsMissing();
    void enterStaysInAWorkingFolder();
    void enterFillsAndGoesToTheWorkingFolder();
    void enterWithoutShippedData();
};

namespace {

// Sets or unsets environment variables for the life of the object.
class Env {
public:
    void set(const char *name, const QString &value)
    {
        m_old.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value.toLocal8Bit());
    }
    ~Env()
    {
        for (const auto &[name, value, was] : m_old) {
            if (was)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }

private:
    struct Old {
        const char *name;
        QByteArray value;
        bool was;
    };
    QList<Old> m_old;
};

} // namespace

void TestWorkFolder::location_data()
{
    QTest::addColumn<QString>("nirelHome");
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("expected"); // ~ for the home folder
    QTest::newRow("NIREL3_HOME first") << "/srv/practice" << "/x/data" << "/srv/practice";
    QTest::newRow("XDG_DATA_HOME") << QString() << "/x/data" << "/x/data/nirel3";
    QTest::newRow("XDG_DATA_HOME empty") << QString() << "" << "~/.local/share/nirel3";
    QTest::newRow("XDG_DATA_HOME relative, ignored") << QString() << "data" << "~/.local/share/nirel3";
    QTest::newRow("neither") << QString() << QString() << "~/.local/share/nirel3";
}

void TestWorkFolder::location()
{
    QFETCH(QString, nirelHome);
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);
    Env env;
    env.set("NIREL3_HOME", nirelHome);
    env.set("XDG_DATA_HOME", xdgDataHome);
    QCOMPARE(shell::workfolder::location(), expected.replace(QLatin1Char('~'), QDir::homePath()));
}

void TestWorkFolder::seedCopiesWhatIsMissing()
{
    TestEnv env;
    env.writeLines("shipped/SystmTxt/Patology.txt", {QStringLiteral("0001 01 строка")});
    env.writeLines("shipped/Caption.txt", {QStringLiteral("Шапка")});
    QFile::setPermissions(env.path("shipped/Caption.txt"), QFileDevice::ReadOwner); // as a package installs it
    env.writeLines("work/Caption.txt", {QStringLiteral("Моя шапка")});
    QString error;
    QVERIFY(shell::workfolder::seed(env.path("work"), env.path("shipped"), &error));
    QCOMPARE(env.readBytes("work/SystmTxt/Patology.txt"), env.readBytes("shipped/SystmTxt/Patology.txt"));
    QCOMPARE(platform::textfile::readLines(env.path("work/Caption.txt")).lines, QStringList{QStringLiteral("Моя шапка")});
    QVERIFY(shell::workfolder::isWorkFolder(env.path("work")));
    // A copy of a read-only shipped file is the user's to edit.
    QFile::remove(env.path("work/Caption.txt"));
    QVERIFY(shell::workfolder::seed(env.path("work"), env.path("shipped"), &error));
    QVERIFY(QFileInfo(env.path("work/Caption.txt")).permissions() & QFileDevice::WriteOwner);
    QVERIFY(!shell::workfolder::seed(env.path("work"), env.path("nothing"), &error));
    QVERIFY(!error.isEmpty());
}

void TestWorkFolder::enterStaysInAWorkingFolder()
{
    TestEnv env;
    Env vars;
    vars.set("NIREL3_HOME", env.path("home"));
    QDir().mkpath(env.path("SystmTxt"));
    QCOMPARE(shell::workfolder::enter(TestEnv::sourcePath("data")), QString());
    QCOMPARE(QDir::currentPath(), env.path());
    QVERIFY(!QFileInfo::exists(env.path("home")));
}

// The first start from the menu: the home folder is no working folder, so
// the program fills its own and goes there; the second start only goes.
void TestWorkFolder::enterFillsAndGoesToTheWorkingFolder()
{
    TestEnv env;
    Env vars;
    vars.set("NIREL3_HOME", env.path("home/nirel3"));
    QCOMPARE(shell::workfolder::enter(TestEnv::sourcePath("data")), QString());
    QCOMPARE(QDir::currentPath(), env.path("home/nirel3"));
    for (const QString &file : {QStringLiteral("SystmTxt/Patology.txt"), QStringLiteral("Caption.txt"),
                                QStringLiteral("Signature.txt"), QStringLiteral("Nirel3hlp/NIREL3HELP.HLP"),
                                QStringLiteral("guidText")})
        QVERIFY2(QFileInfo::exists(env.path("home/nirel3/" + file)), qPrintable(file));
    const int files = int(QDir(env.path("home/nirel3/guidText")).entryList(QDir::Files).size());
    QCOMPARE(files, int(QDir(TestEnv::sourcePath("data/guidText")).entryList(QDir::Files).size()));

    env.writeLines("home/nirel3/Caption.txt", {QStringLiteral("Кабинет иридодиагностики")});
    QFile::remove(env.path("home/nirel3/Signature.txt"));
    QDir::setCurrent(env.path());
    QCOMPARE(shell::workfolder::enter(TestEnv::sourcePath("data")), QString());
    QCOMPARE(QDir::currentPath(), env.path("home/nirel3"));
    QCOMPARE(platform::textfile::readLines(env.path("home/nirel3/Caption.txt")).lines,
             QStringList{QStringLiteral("Кабинет иридодиагностики")});
    QVERIFY(!QFileInfo::exists(env.path("home/nirel3/Signature.txt"))); // a working folder is not refilled
    QDir::setCurrent(env.path());
}

void TestWorkFolder::enterWithoutShippedData()
{
    TestEnv env;
    Env vars;
    vars.set("NIREL3_HOME", env.path("home"));
    const QString problem = shell::workfolder::enter(QString());
    QVERIFY(problem.startsWith("Не удаётся подготовить рабочую папку программы " + env.path("home") + ": "));
    QCOMPARE(QDir::currentPath(), env.path());
}

QTEST_MAIN(TestWorkFolder)
#include "test_workfolder.moc"
