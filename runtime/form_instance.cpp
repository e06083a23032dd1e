#include "form_instance.h"

#include "application.h"

#include "platform.h"
#include "widgets.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QScreen>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>
#include <vector>

namespace runtime {
namespace {

std::vector<FormInstanceBase*>& loadedInstances()
{
    static std::vector<FormInstanceBase*> instances;
    return instances;
}

// How long a window the user has left may wait for the one shown in its
// place to paint.
constexpr int kLeavingWaitMs = 1000;
// How much longer it stays while a screen reader listens.
constexpr int kScreenReaderWaitMs = 500;

// An unloaded form on its way out, deleted by the event loop: at once, or,
// while the screen shown in its place has yet to paint and to take the
// keyboard, once it has done both. A screen reader that sees the focus leave
// for no window at all (Orca 48) takes the next window for one it was
// already in and does not read its description.
class Unloaded : public QObject {
public:
    Unloaded(std::unique_ptr<Form> form, Form* successor)
        : form_(std::move(form))
    {
        form_->unloading(successor != nullptr);
        if (!successor) {
            deleteLater();
            return;
        }
        auto* next = successor->window();
        next_ = next;
        connect(next, &detail::FormWindow::firstFrameShown, this, [this] {
            painted_ = true;
            goOnceActive();
        });
        connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &Unloaded::goOnceActive);
        connect(next, &QObject::destroyed, this, &Unloaded::go);
        QTimer::singleShot(kLeavingWaitMs, this, &Unloaded::go);
    }

private:
    void goOnceActive()
    {
        if (painted_ && next_ && next_->isActiveWindow())
            go();
    }

    void go()
    {
        if (std::exchange(gone_, true))
            return;
        // A screen reader learns of the move from the key that made it only
        // after the program has acted on it; the screen left stays active to
        // it a while longer (see the window's accessibility).
        if (QAccessible::isActive() && next_) {
            QTimer::singleShot(kScreenReaderWaitMs, this, [this] {
                form_->window()->hide();
                deleteLater();
            });
            return;
        }
        form_->window()->hide();
        deleteLater();
    }

    std::unique_ptr<Form> form_;
    QPointer<QWidget> next_;
    bool painted_ = false;
    bool gone_ = false;
};

bool unloadingAll = false;

// The screen just shown, still to paint, that a screen being unloaded waits
// for where the platform wants it so.
Form* successorOf(const Form& leaving)
{
    if (unloadingAll || !platform().keepsLeavingWindowUntilPainted())
        return nullptr;
    for (FormInstanceBase* other : loadedInstances())
        if (Form* f = other->loadedForm(); f && f != &leaving && f->arriving())
            return f;
    return nullptr;
}

} // namespace

int FormInstanceBase::loadedCount()
{
    return static_cast<int>(loadedInstances().size());
}

// When the displays change (a projector connected, the resolution changed,
// the primary moved), every loaded screen is placed again as a load would
// place it now, from a fresh turn of the event loop, once the platform has
// taken the change in.
static void followDisplays()
{
    static const bool following = [] {
        auto again = [] {
            QMetaObject::invokeMethod(qApp, [] {
                for (FormInstanceBase* instance : loadedInstances())
                    if (Form* f = instance->loadedForm())
                        f->placeAgain();
            }, Qt::QueuedConnection);
        };
        auto watch = [again](QScreen* screen) {
            QObject::connect(screen, &QScreen::geometryChanged, qApp, again);
        };
        for (QScreen* screen : QGuiApplication::screens())
            watch(screen);
        QObject::connect(qApp, &QGuiApplication::screenAdded, qApp, [watch, again](QScreen* screen) {
            watch(screen);
            again();
        });
        QObject::connect(qApp, &QGuiApplication::screenRemoved, qApp, again);
        QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, qApp, again);
        return true;
    }();
    Q_UNUSED(following);
}

void FormInstanceBase::loaded(Form& form)
{
    if (qApp)
        followDisplays();
    loadedInstances().push_back(this);
    form.setCloseHandler([this] { Unload(); });
}

void FormInstanceBase::unloaded(std::unique_ptr<Form> form)
{
    auto& all = loadedInstances();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    Form* successor = successorOf(*form);
    new Unloaded(std::move(form), successor);
    if (all.empty())
        lastScreenUnloaded();
}

void FormInstanceBase::unloadAll()
{
    unloadingAll = true;
    while (!loadedInstances().empty())
        loadedInstances().back()->Unload();
    unloadingAll = false;
}

} // namespace runtime
