#pragma once

// The toolkit's side of a loaded form, for the screen tests: its widgets
// found by their design names, and its timer.

#include "form.h"
#include "widgets.h"

#include <QTimer>
#include <QWidget>

template <class W = QWidget> W* widget(const runtime::Form* form, const QString& name)
{
    W* w = form->window()->findChild<W*>(name, Qt::FindDirectChildrenOnly);
    if (!w)
        qFatal("form %s has no widget %s", form->window()->objectName().toUtf8().constData(), qPrintable(name));
    return w;
}

inline QTimer* timerOf(const runtime::Form* form)
{
    return widget<QTimer>(form, "Timer");
}
