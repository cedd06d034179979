// Secondary windows made from a design while the program runs.
#pragma once

#include "design.h"
#include "form_host.h"

namespace platform {

class Forms {
 public:
  // Creates the window and its controls from the design values; its events
  // go to `handlers`.
  virtual FormHost& load(const FormDesign& design, FormHandlers& handlers) = 0;
  // Shows the window modeless and without an owner, centred on the screen
  // the first time; a window already shown comes to the front.
  virtual void show(FormHost& form) = 0;
  // Destroys the window and its controls.
  virtual void unload(FormHost& form) = 0;

 protected:
  ~Forms() = default;
};

}  // namespace platform
