#include "application.h"

#include "form_instance.h"
#include "runtime_error.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace runtime {
namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// Events are dispatched here, one at a time: what an event procedure raises
// is reported instead of escaping into the toolkit.
class RuntimeApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            reportRuntimeError(std::current_exception());
            return true;
        }
    }
};

} // namespace

void prepareToolkit(const ProgramRecord& program)
{
    QCoreApplication::setApplicationName(qs(program.title));
    QCoreApplication::setApplicationVersion(qs(program.version));
    QGuiApplication::setQuitOnLastWindowClosed(false); // the loaded screens decide
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // What the toolkit itself shows (an entry box's context menu, the buttons
    // of a message box) in Italian, whatever the desktop's language.
    static QTranslator toolkitItalian;
    if (toolkitItalian.isEmpty()
        && toolkitItalian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&toolkitItalian);

    // Freely licensed faces of similar size and style, used only where the
    // designed ones are missing.
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"), {QStringLiteral("Comic Neue")});
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

int run(int argc, char** argv, const ProgramRecord& program, const std::function<void()>& showStartScreen)
{
    // Only the program's own name reaches the toolkit: there are no options.
    int toolkitArgc = argc > 0 ? 1 : 0;
    RuntimeApplication app(toolkitArgc, argv);
    prepareToolkit(program);
    try {
        showStartScreen();
    } catch (...) {
        reportRuntimeError(std::current_exception());
        return kRuntimeErrorStatus;
    }
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
