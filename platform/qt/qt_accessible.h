// What Qt tells screen readers of the program's windows: each window by the
// name its design gives, described by its texts, holding only the controls
// its design says are spoken, in reading order; a reading by its value in
// its words; a link as a link that can be pressed or focused; a checkable
// menu item as checked or not; an open popup menu as the application's.
#pragma once

class QWidget;

namespace platform::qt {

// Installed once, before the first window is made. Costs nothing until a
// screen reader asks Qt about a window.
void DescribeWindowsToScreenReaders();

// Whether a screen reader listens (Qt is on the accessibility bus).
bool ScreenReaderListens();

// Tells a listening screen reader that the widget's name changed; nothing
// when none listens.
void AnnounceNameChange(QWidget* widget);

}  // namespace platform::qt
