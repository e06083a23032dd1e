#include "form_instance.h"

#include "application.h"

#include <algorithm>
#include <vector>

namespace runtime {
namespace {

std::vector<FormInstanceBase*>& loadedInstances()
{
    static std::vector<FormInstanceBase*> instances;
    return instances;
}

} // namespace

int FormInstanceBase::loadedCount()
{
    return static_cast<int>(loadedInstances().size());
}

void FormInstanceBase::loaded()
{
    loadedInstances().push_back(this);
}

void FormInstanceBase::unloaded(Form* form)
{
    auto& all = loadedInstances();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    form->setCloseHandler({});
    form->hide();
    form->deleteLater();
    if (all.empty())
        quitEventLoop();
}

void FormInstanceBase::unloadAll()
{
    while (!loadedInstances().empty())
        loadedInstances().back()->Unload();
}

} // namespace runtime
