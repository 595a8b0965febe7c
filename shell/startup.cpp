#include "shell/startup.h"

#include "cards/cardwindowdoor.h"
#include "charts/chartsdoor.h"
#include "conclusion/concldoor.h"
#include "conclusion/reachdoor.h"
#include "deep/deepdoor.h"
#include "express/expressdoor.h"
#include "guides/guidedoor.h"
#include "help/help.h"
#include "photos/photodoor.h"
#include "photos/photostore.h"
#include "platform/hints.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/prompter.h"
#include "shell/tfmnirel3.h"
#include "shell/tfmsplash.h"
#include "state/windows.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <exception>
#include <memory>

NirelApplication::NirelApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    platform::process::ignoreFileSizeSignal();
}

bool NirelApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        platform::ui::showMessage(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        platform::ui::showMessage(nullptr, QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

namespace shell {

void installRussian(QCoreApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void enrolWindows()
{
    cards::card::enrol();
    deep::enrol();
    express::enrol();
    charts::chartlinks::enrol();
    conclusion::concl::enrol();
    conclusion::reach::enrol();
    guides::enrol();
    photos::photo::enrol();
}

void waitForSplash(TfmSplash &splash)
{
    while (!splash.FormCloseQuery())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

int run(QApplication &app)
{
    std::unique_ptr<TfmSplash> splash;
    std::unique_ptr<TfmNirel3> mainWindow;
    {
        // The splash is destroyed when this block is left, whether start-up
        // succeeded or failed.
        splash = std::make_unique<TfmSplash>();
        splash->show();
        splash->repaint();
        QCoreApplication::processEvents();

        // The application title only: a display name would be appended to
        // every window's caption in the title bar.
        QApplication::setApplicationName(QStringLiteral("Nirel-3"));
        installRussian(app);
        HintHub::instance().install();
        help::setHelpFile(platform::paths::kHelpFile);
        enrolWindows();
        photos::followCardIndex();

        mainWindow = std::make_unique<TfmNirel3>();
        state::windows().fmNirel3 = mainWindow.get();

        waitForSplash(*splash);
        splash->hide();
        splash.reset();
    }
    mainWindow->show();
    return app.exec();
}

} // namespace shell
