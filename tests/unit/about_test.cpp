// The About window as its user meets it: one window at most, the link under
// the pointer highlighted, a link opened as it reads, OK closes.
#include <gtest/gtest.h>

#include "fake_platform.h"
#include "texts.h"

namespace {

using namespace about;
constexpr ui::Colour Blue = 0xFF0000;

struct About : ::testing::Test, fake::Monitor {
  fake::Window& aboutWindow() { return *maker.windows.back(); }
};

TEST_F(About, OpensOnceComesToTheFrontAndOkClosesIt) {
  logic.onMenuItem(monitor::AboutItem);
  logic.onMenuItem(monitor::AboutItem);  // already open: the same window to the front
  EXPECT_EQ(maker.windows.size(), 1u);
  EXPECT_TRUE(aboutWindow().shown);
  about.onClick(OkButton);
  EXPECT_FALSE(about.isOpen());
  EXPECT_FALSE(aboutWindow().shown);
  about.onClose(ui::CloseReason::ByUser);  // a close after OK changes nothing
  logic.onMenuItem(monitor::AboutItem);  // made afresh from the design
  EXPECT_EQ(maker.windows.size(), 2u);
  EXPECT_TRUE(aboutWindow().colours.empty());
  // The window manager's close, then "about" again: a new window, not the gone one.
  about.onClose(ui::CloseReason::ByUser);
  EXPECT_FALSE(about.isOpen());
  logic.openAbout();
  EXPECT_EQ(maker.windows.size(), 3u);
}

TEST_F(About, TheLinkUnderThePointerIsBlueAndUnderlined) {
  logic.openAbout();
  about.onPointerOver(WebLink);
  EXPECT_EQ(aboutWindow().colours[WebLink], Blue);
  EXPECT_TRUE(aboutWindow().underlines[WebLink]);
  about.onPointerOver(MailLink);  // straight onto the other link
  EXPECT_EQ(aboutWindow().colours[MailLink], Blue);
  EXPECT_TRUE(aboutWindow().underlines[MailLink]);
  EXPECT_EQ(aboutWindow().colours[WebLink], 0u);
  EXPECT_FALSE(aboutWindow().underlines[WebLink]);
  // Onto another label or the button: the link stays highlighted.
  about.onPointerOver(Thanks);
  about.onPointerOver(OkButton);
  EXPECT_TRUE(aboutWindow().underlines[MailLink]);
  about.onPointerOver(ui::WholeWindow);  // the background clears both
  EXPECT_FALSE(aboutWindow().underlines[MailLink]);
  EXPECT_EQ(aboutWindow().colours[MailLink], 0u);
  // The keyboard's focus highlights a link the same way; on OK, none.
  about.onFocus(WebLink);
  EXPECT_TRUE(aboutWindow().underlines[WebLink]);
  EXPECT_EQ(aboutWindow().colours[WebLink], Blue);
  about.onFocus(OkButton);
  EXPECT_FALSE(aboutWindow().underlines[WebLink]);
}

TEST_F(About, ALinkOpensAsItReadsAndTheWindowStays) {
  logic.openAbout();
  about.onClick(MailLink);
  about.onClick(WebLink);
  about.onClick(Author);  // no link
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"mailto:pmd@example.org", "https://example.org/pelmodesk/"}));
  EXPECT_EQ(aboutWindow().texts[MailLink], shell.opened[0]);
  EXPECT_EQ(aboutWindow().texts[WebLink], shell.opened[1]);
  EXPECT_TRUE(about.isOpen());
}

}  // namespace
