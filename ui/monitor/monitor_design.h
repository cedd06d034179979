// The monitor window's design: a 242 x 39 pixel panel with no title bar that
// shows the temperature and three usage percentages over a gradient, with
// the logo in its top-right corner, the bars (drawn below the client area,
// so out of sight), the sampling timer, and the program's menu.
#pragma once

#include "design.h"

namespace monitor {

// Controls in drawing order (back to front): an index into Design.controls.
// Each reading is a caption, a value and a unit; each bar a full-width
// track with the value's bar over it.
enum Control : int {
  TemperatureCaption, TemperatureValue, TemperatureUnit,
  MemoryCaption, MemoryValue, MemoryUnit,
  ResourcesCaption, ResourcesValue, ResourcesUnit,
  CpuCaption, CpuValue, CpuUnit,
  Logo,
  MemoryTrack, MemoryBar,
  ResourcesTrack, ResourcesBar,
  CpuTrack, CpuBar,
  ControlCount
};

enum Timer : int { SampleTimer, TimerCount };

// The menu a tray press or the window's right press opens: ProgramMenu is
// its title, never shown; the items follow in display order.
enum MenuItem : int {
  ProgramMenu,
  ShowItem, HideItem, Separator1, AlwaysOnTopItem, Separator2, QuitItem, Separator3, AboutItem,
  MenuItemCount
};

extern const ui::WindowDesign Design;

}  // namespace monitor
