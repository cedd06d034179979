#include "form1_design.h"

#include "texts.h"

namespace form1 {
namespace {

using platform::Alignment;
using platform::ControlDesign;
using platform::ControlKind;
using platform::FontDesign;
using platform::Rgb;

constexpr FontDesign LabelFont{.face = texts::PGothic, .points = 9, .weight = 700, .charset = 128};

constexpr ControlDesign label(std::string_view name, std::string_view caption, int left, int top, int width,
                              Alignment alignment = Alignment::Left, std::string_view tooltip = {}) {
  return {.name = name, .kind = ControlKind::Label, .left = left, .top = top, .width = width, .height = 180,
          .caption = caption, .alignment = alignment, .tooltip = tooltip, .autoSize = true, .font = &LabelFont};
}

constexpr ControlDesign bar(std::string_view name, int left, platform::Colour fill) {
  return {.name = name, .kind = ControlKind::Shape, .left = left, .top = 600, .width = 1005, .height = 135,
          .fillColour = fill};
}

constexpr platform::Colour Red = Rgb(255, 0, 0);
constexpr platform::Colour Blue = Rgb(0, 0, 255);

constexpr ControlDesign Controls[] = {
    label("Label1", texts::Temperature, 120, 120, 405, Alignment::Left, texts::TemperatureTip),
    label("Label5", texts::FullScale, 600, 120, 330, Alignment::Right),
    label("Label20", texts::DegreesCelsius, 960, 120, 210),
    label("Label13", texts::Memory, 120, 360, 435, Alignment::Left, texts::MemoryTip),
    label("Label2", texts::FullScale, 600, 360, 330, Alignment::Right),
    label("Label17", texts::Percent, 960, 360, 120),
    label("Label14", texts::SystemResources, 1320, 360, 345, Alignment::Left, texts::SystemResourcesTip),
    label("Label3", texts::FullScale, 1800, 360, 330, Alignment::Right),
    label("Label19", texts::Percent, 2160, 360, 120),
    label("Label15", texts::Cpu, 2520, 360, 405, Alignment::Left, texts::CpuTip),
    label("Label16", texts::FullScale, 3000, 360, 330, Alignment::Right),
    label("Label18", texts::Percent, 3360, 360, 120),
    {.name = "Image5", .kind = ControlKind::Image, .left = 2565, .top = 15, .width = 1050, .height = 300,
     .picture = platform::Picture::Logo, .stretch = true},
    bar("Shape2", 120, Blue),
    bar("Shape1", 120, Red),
    bar("Shape6", 1320, Blue),
    bar("Shape5", 1320, Red),
    bar("Shape4", 2520, Blue),
    bar("Shape3", 2520, Red),
};

constexpr platform::TimerDesign Timers[] = {{.name = "Timer1", .intervalMs = 500, .enabled = true}};

constexpr platform::MenuItemDesign Menu[] = {
    {.name = "mnuTray", .caption = texts::MenuTitle, .level = 0},
    {.name = "mnuAbout", .caption = texts::MenuShow, .level = 1},
    {.name = "noApp", .caption = texts::MenuHide, .level = 1},
    {.name = "mnuLine", .caption = texts::MenuSeparator, .level = 1},
    {.name = "frmTop", .caption = texts::MenuAlwaysOnTop, .level = 1},
    {.name = "mnublank", .caption = texts::MenuSeparator, .level = 1},
    {.name = "mnuEnd", .caption = texts::MenuQuit, .level = 1},
    {.name = "mnublank3", .caption = texts::MenuSeparator, .level = 1},
    {.name = "mnuab", .caption = texts::MenuAbout, .level = 1},
};

// The enums above address these tables by position.
static_assert(std::size(Controls) == ControlCount);
static_assert(Controls[Label5].name == "Label5" && Controls[Label16].name == "Label16");
static_assert(Controls[Image5].name == "Image5" && Controls[Shape3].name == "Shape3");
static_assert(Controls[Shape1].name == "Shape1" && Controls[Shape5].name == "Shape5");
static_assert(Controls[Label2].name == "Label2" && Controls[Label3].name == "Label3");
static_assert(std::size(Menu) == MenuItemCount && Menu[mnuab].name == "mnuab" && Menu[frmTop].name == "frmTop");

}  // namespace

const platform::FormDesign Design{
    .name = "Form1",
    .caption = {},
    .clientWidth = 3630,
    .clientHeight = 585,
    .left = 1260,
    .top = 1635,
    .border = platform::BorderStyle::FixedSingle,
    .titleBar = false,
    .controlBox = false,
    .showInTaskbar = false,
    .backColour = platform::ActiveBorderColour,
    .picture = platform::Picture::MonitorBackground,
    .icon = platform::Picture::MonitorIcon,
    .font = LabelFont,
    .controls = Controls,
    .timers = Timers,
    .menu = Menu,
};

}  // namespace form1
