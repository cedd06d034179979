// The About window through the fake platform: one window at most, the link
// highlight table, links handed to the shell, OK.
#include <gtest/gtest.h>

#include "form1_fixture.h"
#include "texts.h"

namespace {

using namespace form2;
constexpr platform::Colour Blue = 0xFF0000;

struct About : Form1Fixture {
  fake::Window& aboutWindow() { return *forms.windows.back(); }
  fake::Journal since(size_t mark) { return fake::Journal(journal.begin() + static_cast<long>(mark), journal.end()); }
};

TEST_F(About, OpensOnceComesToTheFrontAndOkUnloadsIt) {
  form.onMenuClick(form1::mnuab);
  EXPECT_EQ(journal, (fake::Journal{"Load Form2", "Show"}));
  form.onMenuClick(form1::mnuab);  // already open: the same window to the front
  EXPECT_EQ(journal, (fake::Journal{"Load Form2", "Show", "Show"}));
  EXPECT_EQ(forms.windows.size(), 1u);
  about.onClick(Command1);
  EXPECT_EQ(journal.back(), "Unload");
  EXPECT_FALSE(about.open());
  form.onMenuClick(form1::mnuab);  // built afresh from the design
  EXPECT_EQ(forms.windows.size(), 2u);
  EXPECT_TRUE(aboutWindow().colours.empty());
  EXPECT_TRUE(aboutWindow().underlines.empty());
}

// Closed by the window manager: unloaded, and the next "about" builds it
// afresh rather than showing a window that is gone.
TEST_F(About, AWindowManagerCloseUnloadsIt) {
  form.mnuab_Click();
  about.onUnload(platform::UnloadMode::UserClose);
  EXPECT_EQ(journal.back(), "Unload");
  EXPECT_FALSE(about.open());
  about.onUnload(platform::UnloadMode::UserClose);  // a second close changes nothing
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "Unload"), 1);
  form.mnuab_Click();
  EXPECT_EQ(std::count(journal.begin(), journal.end(), "Load Form2"), 2);
}

TEST_F(About, TheHighlightSetsFourPropertiesOnEveryMove) {
  form.mnuab_Click();
  size_t mark = journal.size();
  about.onMouseMove(Label1, 0, 0, 10, 10);
  EXPECT_EQ(since(mark), (fake::Journal{"ForeColor Label1 16711680", "FontUnderline Label1 True", "ForeColor Label6 0",
                                        "FontUnderline Label6 False"}));
  mark = journal.size();
  about.onMouseMove(Label1, 0, 0, 12, 10);  // again, though nothing changes
  EXPECT_EQ(since(mark).size(), 4u);
  // Straight onto the other link.
  about.onMouseMove(Label6, 0, 0, 10, 10);
  EXPECT_EQ(aboutWindow().colours[Label6], Blue);
  EXPECT_TRUE(aboutWindow().underlines[Label6]);
  EXPECT_EQ(aboutWindow().colours[Label1], 0u);
  EXPECT_FALSE(aboutWindow().underlines[Label1]);
  // Onto another label or the button: no event, the link stays highlighted.
  mark = journal.size();
  about.onMouseMove(Label2, 0, 0, 10, 10);
  about.onMouseMove(Command1, 0, 0, 10, 10);
  EXPECT_TRUE(since(mark).empty());
  EXPECT_TRUE(aboutWindow().underlines[Label6]);
  // The background clears both.
  mark = journal.size();
  about.onMouseMove(platform::FormItself, 0, 0, 1, 1);
  EXPECT_EQ(since(mark), (fake::Journal{"ForeColor Label1 0", "FontUnderline Label1 False", "ForeColor Label6 0",
                                        "FontUnderline Label6 False"}));
}

TEST_F(About, ALinkClickHandsItsCaptionUnchangedToTheShell) {
  form.mnuab_Click();
  size_t mark = journal.size();
  about.onClick(Label6);
  EXPECT_EQ(since(mark), (fake::Journal{"GetDesktopWindow", "ShellExecute 65552 open " + std::string(texts::AboutMail) +
                                                                 " null \"\" 5"}));
  mark = journal.size();
  about.onClick(Label1);
  EXPECT_EQ(since(mark).back(), "ShellExecute 65552 open " + std::string(texts::AboutWeb) + " null \"\" 5");
  EXPECT_TRUE(about.open());  // the shell's failure is not reported, the window stays
  mark = journal.size();
  about.onClick(Label2);  // other labels are no links
  EXPECT_TRUE(since(mark).empty());
}

TEST_F(About, TheDesignsTextsAndPlaces) {
  EXPECT_EQ(Design.clientWidth, 3300);
  EXPECT_EQ(Design.clientHeight, 1950);
  EXPECT_TRUE(Design.showInTaskbar);
  EXPECT_EQ(Design.border, platform::BorderStyle::Sizable);
  EXPECT_TRUE(std::string_view(Design.controls[Label5].caption).starts_with("作者　"));
  EXPECT_TRUE(std::string_view(Design.controls[Label6].caption).starts_with("mailto:"));
  EXPECT_TRUE(std::string_view(Design.controls[Label1].caption).starts_with("https://"));
  EXPECT_TRUE(Design.controls[Command1].takesFocus);
}

}  // namespace
