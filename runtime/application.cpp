#include "application.h"

#include "dispatch.h"
#include "fonts.h"
#include "form_instance.h"
#include "input_guard.h"
#include "picture.h"
#include "platform.h"
#include "text.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmapCache>
#include <QTranslator>

#include <string>
#include <vector>

namespace runtime {
namespace {

constexpr int kStylePieceCacheKiB = 1024;

bool exitStatusChosen = false; // End or a run-time error has set the status the program exits with


} // namespace

void prepareToolkit(const ProgramRecord& program)
{
    QCoreApplication::setApplicationName(qs(program.title));
    QCoreApplication::setApplicationVersion(qs(program.version));
    if (!program.desktopId.empty())
        QGuiApplication::setDesktopFileName(qs(program.desktopId));
    QGuiApplication::setQuitOnLastWindowClosed(false); // the loaded screens decide
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // What the toolkit itself shows (an entry box's context menu, the buttons
    // of a message box) in Italian, whatever the desktop's language.
    static QTranslator toolkitItalian;
    if (toolkitItalian.isEmpty()
        && toolkitItalian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkitItalian);

    // The style keeps the pieces of controls it has painted, keyed by each
    // window's palette; a screen loaded again has a new palette, so pieces of
    // closed windows are never used again. A small cache still holds a whole
    // screen's pieces many times over and keeps memory level after the first
    // few moves between screens instead of after a few hundred.
    QPixmapCache::setCacheLimit(kStylePieceCacheKiB);

    useFonts(program.fonts);
    if (!program.icon.empty())
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(readPixels(qs(program.icon)))));
}

int run(int argc, char** argv, const ProgramRecord& program, const std::function<void()>& showStartScreen)
{
    // Only the program's own name reaches the toolkit, and the platform this
    // session needs: the program has no options.
    std::vector<std::string> args = toolkitArguments(argc > 0 ? argv[0] : nullptr);
    std::vector<char*> toolkitArgv;
    for (std::string& a : args)
        toolkitArgv.push_back(a.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = int(args.size());

    QApplication app(toolkitArgc, toolkitArgv.data());
    installInputGuard();
    runProcedure([&] {
        prepareToolkit(program);
        showStartScreen();
    });
    int status = 0;
    if (FormInstanceBase::loadedCount() > 0 || dispatchStopped())
        status = QApplication::exec();
    FormInstanceBase::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform().toolkitEnding(status);
    return status;
}

void End()
{
    endProgram(0);
}

void endProgram(int status)
{
    exitStatusChosen = true;
    FormInstanceBase::unloadAll();
    QCoreApplication::exit(status);
}

void lastScreenUnloaded()
{
    if (!exitStatusChosen)
        QCoreApplication::exit(0);
}

} // namespace runtime
