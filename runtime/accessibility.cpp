#include "accessibility.h"

#include "widgets.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace runtime {
namespace {

QAccessibleInterface* accessibleRole(const QString&, QObject* object)
{
    if (auto* picture = qobject_cast<detail::PictureWidget*>(object))
        return new QAccessibleWidget(picture, QAccessible::Graphic);
    if (auto* form = qobject_cast<detail::FormWindow*>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(accessibleRole), true);
    (void)installed;
}

} // namespace runtime
