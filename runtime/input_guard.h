#pragma once

// Input that belongs to the screen and the exercise it was aimed at. A
// child double-clicks buttons and holds keys down: the second click of a
// double click on "Fine" must not land on "Esci", which appears where
// "Fine" was, and a held Esc must not press "Esci" after "Fine". So:
// - a press (click, Space, Enter, access key or Esc) that shows another
//   screen or renews the content of its own guards the window concerned: a
//   click or key press reaching it before it has painted, and for the
//   desktop's double-click interval after, is dropped;
// - a key held down across such a press repeats nothing until pressed anew;
// - a key's auto-repeat never presses a button, an access key or Esc.
// Deliberate presses after that act as the design says.

class QWidget;

namespace runtime {

// Watches the program's input from now on (once, when the toolkit starts).
void installInputGuard();

// Marks the running event procedure as a press by the user, for as long as
// the scope lives.
class PressScope {
public:
    PressScope();
    ~PressScope();
    PressScope(const PressScope&) = delete;
    PressScope& operator=(const PressScope&) = delete;
};

// A window shown, or its content renewed (a new exercise): inside a press,
// the window is guarded.
void guardInPress(QWidget* window);

} // namespace runtime
