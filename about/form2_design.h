// The About window's design: greetings, the author, a mail link, a web link
// and an OK button on a small resizable window without a title bar.
#pragma once

#include "design.h"

namespace form2 {

enum Control : int { Label2, Label3, Label4, Label5, Label6, Label1, Command1, ControlCount };

extern const platform::FormDesign Design;

}  // namespace form2
