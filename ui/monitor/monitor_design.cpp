#include "monitor_design.h"

#include "texts.h"

namespace monitor {
namespace {

using ui::Alignment;
using ui::ControlDesign;
using ui::ControlKind;
using ui::FontDesign;
using ui::Rgb;

constexpr FontDesign LabelFont{.face = texts::PGothic, .points = 9, .weight = 700, .charset = 128};

// A screen reader hears each reading as one object, the value's, named
// with the reading's meaning, number and unit; the caption and
// the unit beside it are not said again. The bars repeat the numbers and
// are not said at all.
constexpr ControlDesign label(std::string_view name, std::string_view caption, int left, int top, int width,
                              Alignment alignment = Alignment::Left, std::string_view tooltip = {}) {
  return {.name = name, .kind = ControlKind::Label, .left = left, .top = top, .width = width, .height = 180,
          .caption = caption, .alignment = alignment, .tooltip = tooltip, .autoSize = true, .font = &LabelFont,
          .spoken = ui::Spoken::Hidden};
}

constexpr ui::ReadingWords words(std::string_view meaning, std::string_view unit) {
  return {.meaning = meaning, .unit = unit, .noValue = texts::NoReading, .noValueSpoken = texts::NoReadingSpoken};
}
constexpr ui::ReadingWords TemperatureWords = words(texts::TemperatureTip, texts::DegreesCelsius);
constexpr ui::ReadingWords MemoryWords = words(texts::MemoryTip, texts::Percent);
constexpr ui::ReadingWords ResourcesWords = words(texts::SystemResourcesTip, texts::Percent);
constexpr ui::ReadingWords CpuWords = words(texts::CpuTip, texts::Percent);

constexpr ControlDesign value(std::string_view name, int left, int top, const ui::ReadingWords& words) {
  ControlDesign design = label(name, texts::ValuePlaceholder, left, top, 330, Alignment::Right);
  design.spoken = ui::Spoken::Reading;
  design.reading = &words;
  return design;
}

constexpr ControlDesign bar(std::string_view name, int left, ui::Colour fill) {
  return {.name = name, .kind = ControlKind::Shape, .left = left, .top = 600, .width = 1005, .height = 135,
          .fillColour = fill, .spoken = ui::Spoken::Hidden};
}

constexpr ui::Colour Red = Rgb(255, 0, 0);
constexpr ui::Colour Blue = Rgb(0, 0, 255);

constexpr ControlDesign Controls[] = {
    label("temperatureCaption", texts::Temperature, 120, 120, 405, Alignment::Left, texts::TemperatureTip),
    value("temperatureValue", 600, 120, TemperatureWords),
    label("temperatureUnit", texts::DegreesCelsius, 960, 120, 210),
    label("memoryCaption", texts::Memory, 120, 360, 435, Alignment::Left, texts::MemoryTip),
    value("memoryValue", 600, 360, MemoryWords),
    label("memoryUnit", texts::Percent, 960, 360, 120),
    label("resourcesCaption", texts::SystemResources, 1320, 360, 345, Alignment::Left, texts::SystemResourcesTip),
    value("resourcesValue", 1800, 360, ResourcesWords),
    label("resourcesUnit", texts::Percent, 2160, 360, 120),
    label("cpuCaption", texts::Cpu, 2520, 360, 405, Alignment::Left, texts::CpuTip),
    value("cpuValue", 3000, 360, CpuWords),
    label("cpuUnit", texts::Percent, 3360, 360, 120),
    {.name = "logo", .kind = ControlKind::Image, .left = 2565, .top = 15, .width = 1050, .height = 300,
     .picture = ui::Picture::Logo, .stretch = true, .spoken = ui::Spoken::Hidden},
    bar("memoryTrack", 120, Blue),
    bar("memoryBar", 120, Red),
    bar("resourcesTrack", 1320, Blue),
    bar("resourcesBar", 1320, Red),
    bar("cpuTrack", 2520, Blue),
    bar("cpuBar", 2520, Red),
};

constexpr ui::TimerDesign Timers[] = {{.name = "sampleTimer", .intervalMs = 500, .enabled = true}};

constexpr ui::MenuItemDesign Menu[] = {
    {.name = "programMenu", .caption = texts::MenuTitle, .level = 0},
    {.name = "showItem", .caption = texts::MenuShow, .level = 1},
    {.name = "hideItem", .caption = texts::MenuHide, .level = 1},
    {.name = "separator1", .caption = texts::MenuSeparator, .level = 1},
    {.name = "alwaysOnTopItem", .caption = texts::MenuAlwaysOnTop, .level = 1, .checkable = true},
    {.name = "separator2", .caption = texts::MenuSeparator, .level = 1},
    {.name = "quitItem", .caption = texts::MenuQuit, .level = 1},
    {.name = "separator3", .caption = texts::MenuSeparator, .level = 1},
    {.name = "aboutItem", .caption = texts::MenuAbout, .level = 1},
};

// The enums in the header address these tables by position.
static_assert(std::size(Controls) == ControlCount && std::size(Menu) == MenuItemCount);
static_assert(Controls[TemperatureValue].name == "temperatureValue" && Controls[CpuBar].name == "cpuBar");
static_assert(Controls[Logo].name == "logo" && Menu[AboutItem].name == "aboutItem");
static_assert(Controls[MemoryBar].name == "memoryBar" && Controls[ResourcesBar].name == "resourcesBar");
static_assert(Controls[MemoryValue].name == "memoryValue" && Controls[ResourcesValue].name == "resourcesValue");

}  // namespace

const ui::WindowDesign Design{
    .name = "monitor",
    .caption = {},
    .spokenName = texts::ProductName,
    .clientWidth = 3630,
    .clientHeight = 585,
    .left = 1260,
    .top = 1635,
    .border = ui::BorderStyle::FixedSingle,
    .titleBar = false,
    .controlBox = false,
    .showInTaskbar = false,
    .backColour = ui::ActiveBorderColour,
    .picture = ui::Picture::MonitorBackground,
    .icon = ui::Picture::MonitorIcon,
    .font = LabelFont,
    .controls = Controls,
    .timers = Timers,
    .menu = Menu,
};

}  // namespace monitor
