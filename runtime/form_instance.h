#pragma once

#include "form.h"

#include <QPointer>

namespace runtime {

// What all screen instances share: the list of loaded ones. When the last
// one is unloaded the program ends.
class FormInstanceBase {
public:
    static int loadedCount();
    // Unloads every loaded screen; no procedure runs.
    static void unloadAll();

    virtual void Unload() = 0;

protected:
    FormInstanceBase() = default;
    ~FormInstanceBase() = default;
    FormInstanceBase(const FormInstanceBase&) = delete;
    FormInstanceBase& operator=(const FormInstanceBase&) = delete;

    void loaded();
    // Hides the window at once and destroys it once the running event
    // procedure has returned.
    void unloaded(Form* form);
};

// The single instance of a screen. Show() loads it when needed — window and
// controls from their design values, then Form_Load, all before the window
// is visible — and shows it, modeless. Unload() destroys the window and its
// controls; the instance itself stays for the next Show().
template <class F> class FormInstance : public FormInstanceBase {
public:
    F& Show()
    {
        if (!form_) {
            form_ = new F;
            form_->setCloseHandler([this] { Unload(); });
            loaded();
            form_->Form_Load();
        }
        form_->show();
        form_->raise();
        form_->activateWindow();
        return *form_;
    }

    void Unload() override
    {
        if (!form_)
            return;
        F* form = form_;
        form_ = nullptr;
        unloaded(form);
    }

    bool isLoaded() const { return form_ != nullptr; }
    F* form() const { return form_; }

private:
    QPointer<F> form_;
};

} // namespace runtime
