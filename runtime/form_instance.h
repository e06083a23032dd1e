#pragma once

#include "dispatch.h"
#include "form.h"

#include <memory>

namespace runtime {

// What all screen instances share: the list of loaded ones. When the last
// one is unloaded the program ends.
class FormInstanceBase {
public:
    static int loadedCount();
    // Unloads every loaded screen; no procedure runs.
    static void unloadAll();

    virtual void Unload() = 0;
    virtual Form* loadedForm() const = 0;

protected:
    FormInstanceBase() = default;
    ~FormInstanceBase() = default;
    FormInstanceBase(const FormInstanceBase&) = delete;
    FormInstanceBase& operator=(const FormInstanceBase&) = delete;

    void loaded(Form& form);
    // Stops the form's timers, hides its window and deletes the form once
    // the running event procedure has returned to the event loop. Where the
    // platform wants it, a window whose successor has just been shown stays
    // on the display until that one has painted, at most a second.
    void unloaded(std::unique_ptr<Form> form);
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
            form_ = std::make_unique<F>();
            loaded(*form_);
            F& form = *form_;
            runLoad([&form] { form.Form_Load(); });
        }
        form_->present();
        return *form_;
    }

    void Unload() override
    {
        if (form_)
            unloaded(std::move(form_));
    }

    bool isLoaded() const { return form_ != nullptr; }
    F* form() const { return form_.get(); }
    Form* loadedForm() const override { return form_.get(); }

private:
    std::unique_ptr<F> form_;
};

} // namespace runtime
