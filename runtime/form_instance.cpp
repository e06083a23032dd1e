#include "form_instance.h"

#include "application.h"

#include <QObject>

#include <algorithm>
#include <vector>

namespace runtime {
namespace {

std::vector<FormInstanceBase*>& loadedInstances()
{
    static std::vector<FormInstanceBase*> instances;
    return instances;
}

// An unloaded form on its way out, deleted by the event loop.
class Unloaded : public QObject {
public:
    explicit Unloaded(std::unique_ptr<Form> form)
        : form_(std::move(form))
    {
    }

private:
    std::unique_ptr<Form> form_;
};

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
    form->unloading();
    (new Unloaded(std::move(form)))->deleteLater();
    if (all.empty())
        lastScreenUnloaded();
}

void FormInstanceBase::unloadAll()
{
    while (!loadedInstances().empty())
        loadedInstances().back()->Unload();
}

} // namespace runtime
