#include "application.h"

#include "form_instance.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

namespace runtime {
namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

void prepareToolkit(const ProgramRecord& program)
{
    QCoreApplication::setApplicationName(qs(program.title));
    QCoreApplication::setApplicationVersion(qs(program.version));
    QGuiApplication::setQuitOnLastWindowClosed(false); // the loaded screens decide
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Freely licensed faces of similar size and style, used only where the
    // designed ones are missing.
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

int run(int argc, char** argv, const ProgramRecord& program, const std::function<void()>& showStartScreen)
{
    // Only the program's own name reaches the toolkit: there are no options.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QApplication app(toolkitArgc, argv);
    prepareToolkit(program);
    showStartScreen();
    if (FormInstanceBase::loadedCount() == 0)
        return 0;
    return QApplication::exec();
}

void End()
{
    FormInstanceBase::unloadAll();
    quitEventLoop();
}

void quitEventLoop()
{
    QCoreApplication::exit(0);
}

} // namespace runtime
