// Module1: procedures shared by the forms.
#pragma once

#include <cstdint>

#include "form_host.h"

namespace monitor::Module1 {

// Puts the form above normal windows (mode 1) or level with them (mode 0),
// keeping its position and size and showing it if hidden. Any other mode
// changes nothing and returns 0; otherwise the z-order call's result.
std::int32_t SetTopmost(platform::FormHost& form, const std::int16_t& mode);

}  // namespace monitor::Module1
