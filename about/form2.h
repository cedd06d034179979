// The About window's logic: opening (at most one window), the link
// highlight, opening a link through the shell, and OK.
#pragma once

#include "form2_design.h"
#include "form_host.h"
#include "forms.h"
#include "session.h"
#include "shell.h"

namespace about {

class Form2 final : public platform::FormHandlers {
 public:
  Form2(platform::Forms& forms, platform::Shell& shell, const platform::Session& session)
      : forms_(forms), shell_(shell), session_(session) {}

  // The "about" menu item: builds the window from its design if it is not
  // open, then shows it (or brings it to the front).
  void mnuab_Click();
  void Command1_Click();

  void Form_MouseMove(int Button, int Shift, float X, float Y);
  void Label1_MouseMove(int Button, int Shift, float X, float Y);
  void Label6_MouseMove(int Button, int Shift, float X, float Y);
  void Label1_Click();
  void Label6_Click();

  bool open() const { return window_ != nullptr; }

  // Closed by the window manager: unloaded as OK unloads it.
  void onUnload(platform::UnloadMode mode) override;
  void onMouseMove(int control, int button, int shift, float x, float y) override;
  void onClick(int control) override;

 private:
  void openLink(int label);

  platform::Forms& forms_;
  platform::Shell& shell_;
  const platform::Session& session_;
  platform::FormHost* window_ = nullptr;
};

}  // namespace about
