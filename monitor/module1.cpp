#include "module1.h"

namespace monitor::Module1 {

std::int32_t SetTopmost(platform::FormHost& form, const std::int16_t& mode) {
  using namespace platform;
  constexpr std::uint32_t KeepPlaceAndShow = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
  if (mode == 0) return form.SetWindowPos(HWND_NOTOPMOST, KeepPlaceAndShow);
  if (mode == 1) return form.SetWindowPos(HWND_TOPMOST, KeepPlaceAndShow);
  return 0;
}

}  // namespace monitor::Module1
