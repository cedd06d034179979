// The monitor window's design: a 242 x 39 pixel panel with no title bar that
// shows the temperature and three usage percentages over a gradient, with
// the logo in its top-right corner, the (hidden) bars below the client area,
// the sampling timer, and the tray's popup menu.
#pragma once

#include "design.h"

namespace form1 {

// Controls in drawing order (back to front): an index into Design.controls.
enum Control : int {
  Label1, Label5, Label20,
  Label13, Label2, Label17,
  Label14, Label3, Label19,
  Label15, Label16, Label18,
  Image5,
  Shape2, Shape1,
  Shape6, Shape5,
  Shape4, Shape3,
  ControlCount
};

enum Timer : int { Timer1, TimerCount };

enum MenuItem : int {
  mnuTray,
  mnuAbout, noApp, mnuLine, frmTop, mnublank, mnuEnd, mnublank3, mnuab,
  MenuItemCount
};

extern const platform::FormDesign Design;

}  // namespace form1
