// The About window's design: greetings, the author, a mail link, a web link
// and an OK button on a small resizable window without a title bar.
#pragma once

#include "design.h"

namespace about {

enum Control : int { Thanks, Freeware, FreeToUse, Author, MailLink, WebLink, OkButton, ControlCount };

extern const ui::WindowDesign Design;

}  // namespace about
