#include "application.h"

#include "form_instance.h"
#include "runtime_error.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmapCache>
#include <QTranslator>

namespace runtime {
namespace {

constexpr int kStylePieceCacheKiB = 1024;

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The designed faces and the freely licensed ones that stand in for them,
// shipped with the program.
struct FontSubstitute {
    const char* face;
    const char* family;
    std::initializer_list<const char*> resources;
};

const FontSubstitute kFontSubstitutes[] = {
    {"Comic Sans MS", "Comic Neue",
        {":/fonts/ComicNeue-Regular.otf", ":/fonts/ComicNeue-Bold.otf", ":/fonts/ComicNeue-Italic.otf"}},
    {"MS Sans Serif", "Liberation Sans", {":/fonts/LiberationSans-Regular.ttf"}},
};

// Where a designed face is missing, its substitute is used: the desktop's
// own copy when it has one, otherwise the copy shipped in the program.
// Loaded once, at start.
void useSubstituteFonts()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    const QStringList installed = QFontDatabase::families();
    for (const FontSubstitute& s : kFontSubstitutes) {
        const QString face = QString::fromLatin1(s.face);
        const QString family = QString::fromLatin1(s.family);
        if (installed.contains(face))
            continue;
        if (!installed.contains(family))
            for (const char* resource : s.resources)
                QFontDatabase::addApplicationFont(QString::fromLatin1(resource));
        QFont::insertSubstitution(face, family);
    }
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

    useSubstituteFonts();
    if (!program.icon.empty())
        QApplication::setWindowIcon(QIcon(QPixmap(qs(program.icon))));
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
