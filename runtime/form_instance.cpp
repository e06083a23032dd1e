#include "form_instance.h"

#include "application.h"

#include <QList>

namespace runtime {
namespace {

QList<QPointer<Form>>& loadedForms()
{
    static QList<QPointer<Form>> forms;
    return forms;
}

} // namespace

int FormInstanceBase::loadedCount()
{
    return static_cast<int>(loadedForms().size());
}

void FormInstanceBase::registerLoaded(Form* form)
{
    loadedForms().append(form);
}

void FormInstanceBase::unload(Form* form)
{
    loadedForms().removeAll(form);
    form->setCloseHandler({});
    form->hide();
    form->deleteLater();
    if (loadedForms().isEmpty())
        quitEventLoop();
}

void FormInstanceBase::unloadAll()
{
    const auto forms = loadedForms();
    loadedForms().clear();
    for (const QPointer<Form>& f : forms) {
        if (!f)
            continue;
        f->setCloseHandler({});
        f->hide();
        f->deleteLater();
    }
}

} // namespace runtime
