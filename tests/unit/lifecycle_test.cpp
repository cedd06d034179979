// Start-up, the tray, the menu, always-on-top and the end, as the user sees
// them: where the window is, whether it is shown and on top, what the tray
// shows, what pelmo.ini holds afterwards.
#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

using namespace monitor;

struct Lifecycle : ::testing::Test, fake::Monitor {};

TEST_F(Lifecycle, StartsWhereItWasSavedOnTopShownAndInTheTray) {
  session.file = "1200\r\n9000\r\n0\r\n";
  logic.onOpen();
  EXPECT_EQ(window.topTwips, 1200);
  EXPECT_EQ(window.leftTwips, 9000);
  EXPECT_TRUE(window.shown);
  EXPECT_TRUE(window.onTop);
  EXPECT_TRUE(window.checked[AlwaysOnTopItem]);
  EXPECT_EQ(tray.tooltip, "ペルモ");
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(*session.file, "1200\r\n9000\r\n0\r\n");  // the same bytes back
  EXPECT_FALSE(tray.tooltip);
}

TEST_F(Lifecycle, AnySavedFlagButZeroIsOffAndIsWrittenBackAsOne) {
  for (const char* flag : {"1", "5", "-3"}) {
    session.file = std::string("100\r\n200\r\n") + flag + "\r\n";
    logic.onOpen();
    EXPECT_FALSE(window.onTop) << flag;
    EXPECT_FALSE(window.checked[AlwaysOnTopItem]) << flag;
    logic.onMenuItem(QuitItem);
    EXPECT_EQ(*session.file, "100\r\n200\r\n1\r\n") << flag;
  }
}

TEST_F(Lifecycle, WithoutAFileTheDesignPlaceAndTheFileAppearsAtQuit) {
  logic.onOpen();
  EXPECT_EQ(window.topTwips, 1635);
  EXPECT_EQ(window.leftTwips, 1260);
  EXPECT_FALSE(window.onTop);
  EXPECT_TRUE(session.warnings.empty());
  window.moveTo(4500, 3000);  // dragged
  logic.onMenuItem(AlwaysOnTopItem);
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(*session.file, "3000\r\n4500\r\n0\r\n");
}

TEST_F(Lifecycle, AMalformedFileIsReportedOnceAndKeptAsABackupAtQuit) {
  session.file = "1200\r\nabc\r\n0\r\n";
  logic.onOpen();
  ASSERT_EQ(session.warnings.size(), 1u);
  EXPECT_EQ(session.warnings[0],
            "pelmo.ini: 2 行目の左端位置「abc」は数値ではありません。既定の位置で起動します。"
            "読めなかったファイルは終了時に pelmo.ini.bak として残します。");
  EXPECT_EQ(window.leftTwips, 1260);
  EXPECT_FALSE(window.onTop);
  journal.clear();
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(journal.front(), "write pelmo.ini keeping a backup");
  EXPECT_EQ(*session.file, "1635\r\n1260\r\n1\r\n");
}

TEST_F(Lifecycle, AFileThatCannotBeReadIsSaidInJapaneseAndKeptWhereItCanBe) {
  using Kind = platform::FileProblem::Kind;
  session.readFailure = {Kind::PermissionDenied, {}};
  logic.onOpen();
  EXPECT_EQ(session.warnings.back(),
            "pelmo.ini: アクセスが拒否されました。既定の位置で起動します。"
            "読めなかったファイルは終了時に pelmo.ini.bak として残します。");
  journal.clear();
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(journal.front(), "write pelmo.ini keeping a backup");

  // A FIFO or a socket is not moved aside: the save fails and says so.
  fake::Monitor fifo;
  fifo.session.readFailure = {Kind::NotARegularFile, {}};
  fifo.logic.onOpen();
  EXPECT_EQ(fifo.session.warnings.back(), "pelmo.ini: 通常のファイルではありません。既定の位置で起動します。");
  fifo.logic.onMenuItem(QuitItem);
  EXPECT_EQ(fifo.journal.front(), "write pelmo.ini");
  fake::Monitor loop;  // links in a circle: no backup can be kept of them either
  loop.session.readFailure = {Kind::LinkLoop, {}};
  loop.logic.onOpen();
  EXPECT_EQ(loop.session.warnings.back(), "pelmo.ini: シンボリックリンクが循環しています。既定の位置で起動します。");

  // Not opened at all (no descriptor to spare): nothing is known of the
  // file, so nothing is kept aside and nothing is written over it.
  fake::Monitor busy;
  busy.session.readFailure = {Kind::Other, "Too many open files"};  // as the system says it
  busy.session.readFailureStatus = platform::FileRead::Status::Unavailable;
  busy.logic.onOpen();
  EXPECT_EQ(busy.session.warnings.back(), "pelmo.ini: Too many open files。既定の位置で起動します。"
                                          "ファイルはそのままにし、終了時にも書き換えません。");
  busy.logic.onMenuItem(QuitItem);
  EXPECT_EQ(busy.journal, (fake::Journal{"icon removed", "end"}));
  EXPECT_FALSE(busy.logic.settingsLost());
}

TEST_F(Lifecycle, FarAndOffScreenPositions) {
  session.screenList = {{0, 0, 1920 * 15, 1080 * 15}, {1920 * 15, 0, 1920 * 15, 1080 * 15}};
  session.file = "600\r\n40000\r\n1\r\n";  // on the second screen, beyond 16 bits
  logic.onOpen();
  EXPECT_EQ(window.leftTwips, 40000);
  session.file = "600\r\n-90000\r\n1\r\n";  // a screen since unplugged
  logic.onOpen();
  EXPECT_EQ(window.leftTwips, 0);
  EXPECT_EQ(window.topTwips, 600);
  session.file = "-100\r\n-200\r\n1\r\n";  // partly off the edge: kept
  logic.onOpen();
  EXPECT_EQ(window.leftTwips, -200);
  EXPECT_EQ(window.topTwips, -100);
}

TEST_F(Lifecycle, QuitSavesBeforeTheIconGoesAndTheProgramEnds) {
  logic.onOpen();
  journal.clear();
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(journal, (fake::Journal{"write pelmo.ini", "icon removed", "end"}));
  EXPECT_FALSE(logic.settingsLost());
  journal.clear();
  logic.onClose(ui::CloseReason::Unattended);  // SIGTERM, a logout: the same ordinary way
  EXPECT_EQ(journal, (fake::Journal{"write pelmo.ini", "icon removed", "end"}));
}

TEST_F(Lifecycle, AFailedSaveIsABoxOnlyWhenTheUserQuitsAndNeverHoldsTheEndUp) {
  logic.onOpen();
  session.writeFailure = {platform::FileProblem::Kind::NoSpace, {}};
  logic.onMenuItem(QuitItem);
  ASSERT_EQ(session.alerts.size(), 1u);
  EXPECT_EQ(session.alerts[0], "設定を保存できませんでした: pelmo.ini: ディスクの空き容量が足りません");
  EXPECT_TRUE(logic.settingsLost());  // the program's exit status says so

  // SIGTERM, a logout: standard error only, and the program ends.
  logic.onClose(ui::CloseReason::Unattended);
  EXPECT_EQ(session.alerts.size(), 1u);
  ASSERT_EQ(session.warnings.size(), 1u);
  EXPECT_EQ(session.warnings[0], session.alerts[0]);

  // SIGTERMs while the box waits end the program; no second box, no second write.
  session.onAlert = [this] {
    logic.onClose(ui::CloseReason::Unattended);
    logic.onClose(ui::CloseReason::Unattended);
  };
  journal.clear();
  logic.onMenuItem(QuitItem);
  EXPECT_EQ(session.alerts.size(), 2u);
  EXPECT_EQ(journal, (fake::Journal{"write pelmo.ini", "end", "end", "icon removed", "end"}));
}

TEST_F(Lifecycle, TheTraysLeftPressShowsItsRightPressOpensTheMenuInFront) {
  logic.onOpen();
  logic.onMenuItem(HideItem);
  EXPECT_FALSE(window.shown);
  journal.clear();
  logic.onTrayMenu();  // the window stays hidden
  EXPECT_EQ(journal, (fake::Journal{"to the front", "menu programMenu"}));
  EXPECT_FALSE(window.shown);
  logic.onTrayShowWindow();
  EXPECT_TRUE(window.shown);
  // The keyboard's menu opens at the window, not where the pointer is.
  journal.clear();
  logic.onMenuKey();
  EXPECT_EQ(journal, (fake::Journal{"menu programMenu at the window"}));
}

TEST_F(Lifecycle, AlwaysOnTopFlipsAndShowsAHiddenWindow) {
  logic.onOpen();
  logic.onMenuItem(HideItem);
  logic.onMenuItem(AlwaysOnTopItem);
  EXPECT_TRUE(window.shown);
  EXPECT_TRUE(window.onTop);
  EXPECT_TRUE(window.checked[AlwaysOnTopItem]);
  logic.onMenuItem(HideItem);
  logic.onMenuItem(AlwaysOnTopItem);
  EXPECT_TRUE(window.shown);
  EXPECT_FALSE(window.onTop);
  EXPECT_FALSE(window.checked[AlwaysOnTopItem]);
}

TEST_F(Lifecycle, PressesAndDoubleClicksOnTheWindow) {
  logic.onOpen();
  journal.clear();
  logic.onPress(ui::WholeWindow, ui::LeftButton);
  EXPECT_EQ(journal, (fake::Journal{"move by press"}));
  journal.clear();
  logic.onPress(ui::WholeWindow, ui::RightButton);  // the tray has the menu
  EXPECT_TRUE(journal.empty());
  tray.present = false;  // no notification area: a right press anywhere on the window opens the menu
  logic.onPress(MemoryCaption, ui::RightButton);
  logic.onPress(Logo, ui::RightButton);
  EXPECT_EQ(journal, (fake::Journal{"menu programMenu", "menu programMenu"}));

  tray.present = true;
  logic.onDoubleClick(MemoryValue);  // labels: nothing
  EXPECT_TRUE(window.shown);
  logic.onDoubleClick(Logo);
  EXPECT_FALSE(window.shown);
  logic.onMenuItem(ShowItem);
  EXPECT_TRUE(window.shown);
  logic.onDoubleClick(ui::WholeWindow);
  EXPECT_FALSE(window.shown);
}

TEST_F(Lifecycle, WithoutATrayTheWindowIsNeverLeftHidden) {
  logic.onOpen();
  logic.onMenuItem(HideItem);
  tray.present = false;
  logic.onTrayGone();
  EXPECT_TRUE(window.shown);
  logic.onDoubleClick(ui::WholeWindow);  // no icon to bring it back: it stays
  logic.onMenuItem(HideItem);
  EXPECT_TRUE(window.shown);
  tray.present = true;  // a tray came back
  logic.onMenuItem(HideItem);
  EXPECT_FALSE(window.shown);
}

TEST_F(Lifecycle, AnotherStartShowsTheWindowInFront) {
  logic.onOpen();
  logic.onMenuItem(HideItem);
  journal.clear();
  logic.onAnotherStart();
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(journal, (fake::Journal{"to the front"}));
}

TEST_F(Lifecycle, QuitFromInsideTheTraysMenu) {
  logic.onOpen();
  window.onPopup = [this] { logic.onMenuItem(QuitItem); };
  journal.clear();
  logic.onTrayMenu();
  EXPECT_EQ(journal, (fake::Journal{"to the front", "menu programMenu", "write pelmo.ini", "icon removed", "end"}));
}

}  // namespace
