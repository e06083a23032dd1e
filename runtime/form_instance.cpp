#include "form_instance.h"

#include "application.h"

#include "platform.h"
#include "widgets.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
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

// An unloaded form on its way out, deleted by the event loop: at once, or,
// while the screen shown in its place has yet to paint, once it has.
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
        auto* next = static_cast<detail::FormWindow*>(successor->window());
        connect(next, &detail::FormWindow::firstFrameShown, this, &Unloaded::go);
        connect(next, &QObject::destroyed, this, &Unloaded::go);
        QTimer::singleShot(kLeavingWaitMs, this, &Unloaded::go);
    }

private:
    void go()
    {
        form_->window()->hide();
        deleteLater();
    }

    std::unique_ptr<Form> form_;
};

bool ending = false; // every screen is being unloaded

// The screen just shown, still to paint, that a screen being unloaded waits
// for where the platform wants it so.
Form* successorOf(const Form& leaving)
{
    if (ending || !platform().keepsLeavingWindowUntilPainted())
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

void FormInstanceBase::loaded(Form& form)
{
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
    ending = true;
    while (!loadedInstances().empty())
        loadedInstances().back()->Unload();
    ending = false;
}

} // namespace runtime
