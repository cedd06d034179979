// The two directions between a form's logic and the backend that renders its
// design: the logic sets properties through FormHost, the backend raises
// events through FormHandlers. Controls, timers and menu items are addressed
// by their index in the form's design.
#pragma once

#include <string_view>

namespace platform {

class FormHost {
 public:
  virtual void setCaption(int control, std::string_view text) = 0;
  // Widths below zero are drawn as zero; the value is accepted all the same.
  virtual void setWidth(int control, float twips) = 0;

 protected:
  ~FormHost() = default;
};

class FormHandlers {
 public:
  virtual void onTimer(int /*timer*/) {}

 protected:
  ~FormHandlers() = default;
};

}  // namespace platform
