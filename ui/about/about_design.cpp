#include "about_design.h"

#include "texts.h"

namespace about {
namespace {

using ui::ControlDesign;
using ui::ControlKind;
using ui::FontDesign;

constexpr FontDesign DefaultFont{.face = texts::PGothic, .points = 9, .weight = 400, .charset = 128};
constexpr FontDesign BoldFont{.face = texts::PGothic, .points = 9.75, .weight = 700, .charset = 128};

// Labels size themselves to their text and paint the form's colour behind it.
constexpr ControlDesign label(std::string_view name, std::string_view caption, int left, int top, int width,
                              int height, const FontDesign* font = nullptr, ui::Spoken spoken = ui::Spoken::Text) {
  return {.name = name, .kind = ControlKind::Label, .left = left, .top = top, .width = width, .height = height,
          .caption = caption, .opaque = true, .autoSize = true, .font = font, .spoken = spoken};
}

constexpr ControlDesign Controls[] = {
    label("thanks", texts::AboutThanks, 120, 120, 2655, 180),
    label("freeware", texts::AboutFreeware, 120, 360, 2175, 180),
    label("freeToUse", texts::AboutFreeToUse, 120, 600, 2730, 180),
    label("author", texts::AboutAuthor, 120, 840, 765, 195, &BoldFont),
    label("mailLink", texts::AboutMail, 1080, 840, 1950, 180, nullptr, ui::Spoken::Link),
    label("webLink", texts::AboutWeb, 120, 1080, 3000, 195, &BoldFont, ui::Spoken::Link),
    {.name = "okButton", .kind = ControlKind::Button, .left = 120, .top = 1440, .width = 3015, .height = 375,
     .caption = texts::Ok, .takesFocus = true},
};

static_assert(std::size(Controls) == ControlCount);
static_assert(Controls[WebLink].name == "webLink" && Controls[OkButton].name == "okButton");

}  // namespace

const ui::WindowDesign Design{
    .name = "about",
    .caption = {},
    .spokenName = texts::AboutWindowName,
    .clientWidth = 3300,
    .clientHeight = 1950,
    .left = 0,
    .top = 0,
    .border = ui::BorderStyle::Sizable,
    .borderWidth = 60,
    .titleBar = false,
    .controlBox = false,
    .showInTaskbar = true,
    .backColour = ui::ButtonFaceColour,
    .picture = ui::Picture::None,
    .icon = ui::Picture::None,
    .font = DefaultFont,
    .controls = Controls,
};

}  // namespace about
