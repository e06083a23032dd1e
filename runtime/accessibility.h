#pragma once

class QLabel;

namespace runtime {

// What assistive technology (a screen reader) is told about the runtime's
// windows and controls, beyond what the toolkit tells of itself:
//  - a picture holder is a picture, a screen's window a window, described
//    by its summary labels (design value summaryLine), so that its title
//    line and the like are read out with the window's name when it opens;
//  - a box's text is one run of text, and the selection a box makes of its
//    whole text when it is entered with Tab is not told as a selection (it
//    stays on screen, highlighted);
//  - a message label (design value message) is a notification, spoken when
//    it is announced.
// Installed once, before the first window is created.
void installAccessibility();

// Has a screen reader speak the message label's text once the running event
// procedure has returned (so after the focus has settled), again each time,
// even when the text is the same as before.
void announce(QLabel* message);

// Tells assistive technology that a summary label has been set. Set after an
// announcement in the same event procedure (the key of the square dealt
// with "Bravo!"), its line of the summary is spoken after the message.
void retell(QLabel* summary);

} // namespace runtime
