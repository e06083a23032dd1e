#pragma once

#include "dispatch.h"
#include "form.h"

#include <functional>
#include <memory>
#include <utility>

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
// controls; the instance itself stays for the next Show(). A screen that
// needs more than its design is made by the function the instance is given.
template <class F> class FormInstance : public FormInstanceBase {
public:
    using Make = std::function<std::unique_ptr<F>()>;

    explicit FormInstance(Make make = [] { return std::make_unique<F>(); })
        : make_(std::move(make))
    {
    }

    // How the screen is made from its next load on.
    void makeWith(Make make) { make_ = std::move(make); }

    F& Show()
    {
        if (!form_) {
            form_ = make_();
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
    Make make_;
    std::unique_ptr<F> form_;
};

} // namespace runtime
