#include "dispatch.h"

#include "runtime_error.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace runtime {
namespace {

struct Dispatcher {
    bool stopped = false;
    std::function<void(std::exception_ptr)> handler;
};

Dispatcher& dispatcher()
{
    static Dispatcher d;
    return d;
}

// Called inside a catch block, on the one user-interface thread.
void raised(std::exception_ptr error) noexcept
{
    Dispatcher& d = dispatcher();
    if (d.stopped)
        return; // an error while another is being reported is not reported again
    d.stopped = true;
    auto handle = [error, handler = d.handler] {
        if (handler)
            handler(error);
        else
            reportRuntimeErrorAndEnd(error);
    };
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), handle, Qt::QueuedConnection);
    else
        handle();
}

} // namespace

void runProcedure(const Procedure& procedure) noexcept
{
    if (dispatcher().stopped || !procedure)
        return;
    try {
        procedure();
    } catch (const LoadFailed&) {
        // already reported where the load failed
    } catch (...) {
        raised(std::current_exception());
    }
}

void runLoad(const Procedure& load)
{
    if (dispatcher().stopped)
        throw LoadFailed{};
    try {
        load();
    } catch (const LoadFailed&) {
        throw;
    } catch (...) {
        raised(std::current_exception());
        throw LoadFailed{};
    }
}

bool dispatchStopped()
{
    return dispatcher().stopped;
}

void setErrorHandler(std::function<void(std::exception_ptr)> handler)
{
    dispatcher().handler = std::move(handler);
    dispatcher().stopped = false;
}

} // namespace runtime
