#pragma once

namespace runtime {

// Tells assistive technology what each kind of control is: a screen is a
// window, a picture holder a picture. Installed once, with the first form.
void installAccessibility();

} // namespace runtime
