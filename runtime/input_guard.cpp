#include "input_guard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>

#include <map>
#include <set>

namespace runtime {
namespace {

// How long a guarded window may take to paint before it is taken as painted.
constexpr qint64 kPaintWaitMs = 1000;
// Added to the double-click interval: the toolkit times a double click from
// its first press, and the guard starts only at the click's release (xdotool's
// 400 ms double click on "Fine" under openbox came 5 to 20 ms after a guard of
// the bare interval had ended).
constexpr qint64 kSlackMs = 150;
// Input events carry the time the window system stamped them with. The
// interval is counted on those stamps, so that a second click the program
// only gets to late on a busy machine is still known for what it is; an
// event without a stamp, or stamped implausibly far from the press (a clock
// that wrapped), is timed by when it is handled instead.
constexpr qint64 kStampSkewMs = 10'000;

qint64 interval()
{
    return QGuiApplication::styleHints()->mouseDoubleClickInterval() + kSlackMs;
}

class InputGuard : public QObject {
public:
    int pressDepth = 0;

    void guard(QWidget* window)
    {
        if (!window)
            return;
        Guard& g = guards_[window];
        g.window = window;
        g.since.start();
        g.painted = false;
        g.pressStamp = lastStamp_;
        held_.insert(down_.begin(), down_.end());
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
            if (object->isWidgetType())
                if (auto it = guards_.find(static_cast<QWidget*>(object)->window()); it != guards_.end())
                    painted(it->second);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            stamped(event);
            [[fallthrough]];
        case QEvent::MouseButtonDblClick:
            return mouse(object, static_cast<QMouseEvent*>(event));
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
            stamped(event);
            return keyPress(object, static_cast<QKeyEvent*>(event));
        case QEvent::KeyRelease:
            stamped(event);
            keyRelease(static_cast<QKeyEvent*>(event));
            break;
        case QEvent::Shortcut:
            return keyDropped_; // an access key or Esc of the key just dropped
        default:
            break;
        }
        return false;
    }

private:
    struct Guard {
        QPointer<QWidget> window;
        QElapsedTimer since; // from the guard, then from its paint
        bool painted = false;
        quint64 pressStamp = 0; // the window system's time of the press
    };

    static void painted(Guard& g)
    {
        if (!g.painted) {
            g.painted = true;
            g.since.restart();
        }
    }

    // The window system's time of a press or release, kept as the start of
    // any guard it leads to.
    void stamped(const QEvent* event)
    {
        if (const quint64 stamp = static_cast<const QInputEvent*>(event)->timestamp())
            lastStamp_ = stamp;
    }

    bool mouse(QObject* target, const QMouseEvent* event)
    {
        // Taken at the window, before the toolkit gives the focus to the
        // widget under the pointer; widgets are checked as well, for a click
        // sent to one directly.
        if (target->isWindowType()) {
            for (const auto& [window, g] : guards_)
                if (g.window && window->windowHandle() == target)
                    return guarded(window, event->timestamp());
            return false;
        }
        return target->isWidgetType() && guarded(static_cast<QWidget*>(target)->window(), event->timestamp());
    }

    // Whether input stamped at stamp (0: unknown) is dropped: it reaches
    // the window before its paint, or within the interval after the press.
    bool guarded(QWidget* window, quint64 stamp)
    {
        const auto it = guards_.find(window);
        if (it == guards_.end())
            return false;
        Guard& g = it->second;
        if (!g.painted && g.since.elapsed() >= kPaintWaitMs)
            painted(g);
        bool dropped = !g.painted;
        if (g.painted) {
            const qint64 sincePress = qint64(stamp) - qint64(g.pressStamp);
            if (stamp != 0 && g.pressStamp != 0 && sincePress > -kStampSkewMs && sincePress < kStampSkewMs)
                dropped = sincePress < interval();
            else
                dropped = g.since.elapsed() < interval();
        }
        if (g.window && dropped)
            return true;
        guards_.erase(it);
        return false;
    }

    // The toolkit marks the repeats it recognises; a repeat it misses comes
    // as a release and a press of the same key with one timestamp.
    bool isRepeat(const QKeyEvent* key) const
    {
        return key->isAutoRepeat()
            || (key->timestamp() != 0 && key->timestamp() == lastRelease_.timestamp
                && key->nativeScanCode() == lastRelease_.scanCode);
    }

    // A press that repeats or was held across a move may still type into a
    // box; it never presses a button, an access key or Esc.
    static bool presses(QObject* target, const QKeyEvent* key)
    {
        const int k = key->key();
        if (k == Qt::Key_Escape || (key->modifiers() & Qt::AltModifier))
            return true;
        const bool onButton = qobject_cast<QPushButton*>(target) != nullptr;
        return onButton && (k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter);
    }

    bool keyPress(QObject* target, QKeyEvent* key)
    {
        const quint32 code = key->nativeScanCode();
        const bool repeat = isRepeat(key);
        if (!repeat) {
            // Pressed anew; a press that is a shortcut comes only as
            // ShortcutOverride. A release may reach no widget while the
            // screens change, so a fresh press also ends a hold.
            held_.erase(code);
            down_.insert(code);
        }
        QWidget* window = target->isWidgetType() ? static_cast<QWidget*>(target)->window() : nullptr;
        keyDropped_ = (window && guarded(window, key->timestamp()))
            || (repeat && (held_.count(code) > 0 || presses(target, key)));
        if (!keyDropped_ || key->type() == QEvent::ShortcutOverride)
            return false; // the toolkit's shortcut step sees the drop through keyDropped_
        return true;
    }

    void keyRelease(const QKeyEvent* key)
    {
        lastRelease_ = {key->timestamp(), key->nativeScanCode()};
        if (key->isAutoRepeat())
            return;
        down_.erase(key->nativeScanCode());
        held_.erase(key->nativeScanCode());
    }

    std::map<QWidget*, Guard> guards_;
    std::set<quint32> down_; // keys pressed and not yet released
    std::set<quint32> held_; // keys held down across a guarded press
    struct {
        quint64 timestamp = 0;
        quint32 scanCode = 0;
    } lastRelease_;
    bool keyDropped_ = false;
    quint64 lastStamp_ = 0; // of the last input event, the press a guard starts from
};

InputGuard* theGuard = nullptr;

} // namespace

void installInputGuard()
{
    if (!theGuard && qApp) {
        theGuard = new InputGuard;
        theGuard->setParent(qApp);
        qApp->installEventFilter(theGuard);
    }
}

PressScope::PressScope()
{
    if (theGuard)
        ++theGuard->pressDepth;
}

PressScope::~PressScope()
{
    if (theGuard)
        --theGuard->pressDepth;
}

void guardInPress(QWidget* window)
{
    if (theGuard && theGuard->pressDepth > 0)
        theGuard->guard(window);
}

} // namespace runtime
