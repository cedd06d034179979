// Start-up, the tray, the menu, always-on-top and shutdown, through the
// fake platform.
#include <gtest/gtest.h>

#include "form1_fixture.h"
#include "module1.h"

namespace {

using namespace form1;

struct Lifecycle : Form1Fixture {
  // The journal from the first entry that starts with `from`.
  fake::Journal after(const std::string& from) {
    for (size_t i = 0; i < journal.size(); ++i)
      if (journal[i].starts_with(from)) return fake::Journal(journal.begin() + static_cast<long>(i), journal.end());
    return {};
  }
  void trayPress(int code) { form.onMouseMove(platform::FormItself, 0, 0, static_cast<float>(code * 15), 0); }
};

TEST_F(Lifecycle, LoadRestoresPlacementThenAddsTheIconThenTheZOrder) {
  session.file = "1200\r\n9000\r\n0\r\n";
  form.Form_Load();
  const fake::Journal expected = {
      "Read pelmo.ini", "Top 1200", "Left 9000", "NotifyIcon Add", "Visible False", "MenuVisible mnuTray False",
      "SetWindowPos -1 67", "Checked frmTop True",
  };
  EXPECT_EQ(journal, expected);
  EXPECT_TRUE(window.shown);  // the z-order call shows the window
  EXPECT_TRUE(window.onTop);
  EXPECT_EQ(form.TopmostNext, 0);
}

TEST_F(Lifecycle, TheTrayRecordIsTheOriginalsByteForByte) {
  form.Form_Load();
  const platform::NotifyIconData& r = tray.last;
  EXPECT_EQ(r.cbSize, 89u);
  EXPECT_EQ(r.hWnd, 0x1234u);
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, 0x200u);
  EXPECT_EQ(r.hIcon, 0x5678u);
  const std::uint8_t tip[] = {0x83, 0x79, 0x83, 0x8B, 0x83, 0x82};  // ペルモ in code page 932
  EXPECT_TRUE(std::equal(std::begin(tip), std::end(tip), r.szTip.begin()));
  EXPECT_TRUE(std::all_of(r.szTip.begin() + 6, r.szTip.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(Lifecycle, SavedFlagOneOrAnythingElseStartsNormalAndWritesOne) {
  for (const char* flag : {"1", "5", "-3"}) {
    journal.clear();
    session.file = std::string("100\r\n200\r\n") + flag + "\r\n";
    form.Form_Load();
    EXPECT_FALSE(window.onTop) << flag;
    EXPECT_FALSE(window.checked[frmTop]) << flag;
    EXPECT_EQ(form.TopmostNext, 1) << flag;
    form.mnuEnd_Click();
    EXPECT_EQ(*session.file, "100\r\n200\r\n1\r\n") << flag;
  }
}

TEST_F(Lifecycle, WithoutAFileTheDesignPlaceAndTheFileAppearsAtQuit) {
  form.Form_Load();
  EXPECT_EQ(window.topTwips, 1635);
  EXPECT_EQ(window.leftTwips, 1260);
  EXPECT_FALSE(window.onTop);
  EXPECT_TRUE(session.warnings.empty());
  window.topTwips = 3000;  // dragged
  window.leftTwips = 4500;
  form.mnuEnd_Click();
  EXPECT_EQ(*session.file, "3000\r\n4500\r\n1\r\n");
}

TEST_F(Lifecycle, AMalformedFileIsReportedOnceAndKeptAsABackupAtQuit) {
  session.file = "1200\r\nabc\r\n0\r\n";
  form.Form_Load();
  ASSERT_EQ(session.warnings.size(), 1u);
  EXPECT_EQ(session.warnings[0],
            "pelmo.ini: 2 行目の左端位置「abc」は数値ではありません。既定の位置で起動します。"
            "読めなかったファイルは終了時に pelmo.ini.bak として残します。");
  EXPECT_EQ(window.leftTwips, 1260);
  EXPECT_FALSE(window.onTop);
  EXPECT_EQ(*session.file, "1200\r\nabc\r\n0\r\n");
  journal.clear();
  form.mnuEnd_Click();
  EXPECT_EQ(journal.front(), "Write pelmo.ini keeping a backup");
  EXPECT_EQ(*session.file, "1635\r\n1260\r\n1\r\n");
}

TEST_F(Lifecycle, AFileThatCannotBeReadIsSaidInJapaneseAndKeptWhereItCanBe) {
  using Kind = platform::FileProblem::Kind;
  session.readFailure = {Kind::PermissionDenied, {}};
  form.Form_Load();
  EXPECT_EQ(session.warnings.back(),
            "pelmo.ini: アクセスが拒否されました。既定の位置で起動します。"
            "読めなかったファイルは終了時に pelmo.ini.bak として残します。");
  journal.clear();
  form.mnuEnd_Click();
  EXPECT_EQ(journal.front(), "Write pelmo.ini keeping a backup");

  // A FIFO is not moved aside: the save fails and says so.
  fake::Session fifo(journal);
  monitor::Form1 other({window, stats, ports, tray, fifo, about});
  fifo.readFailure = {Kind::NotARegularFile, {}};
  other.Form_Load();
  EXPECT_EQ(fifo.warnings.back(), "pelmo.ini: 通常のファイルではありません。既定の位置で起動します。");
  journal.clear();
  other.mnuEnd_Click();
  EXPECT_EQ(journal.front(), "Write pelmo.ini");

  session.readFailure = {Kind::Other, "Input/output error"};  // as the system says it
  form.Form_Load();
  EXPECT_EQ(session.warnings.back().find("pelmo.ini: Input/output error。"), 0u);

  // Not opened at all (no descriptor to spare): nothing is known of the
  // file, so nothing is kept aside and nothing is written over it.
  fake::Session busy(journal);
  monitor::Form1 third({window, stats, ports, tray, busy, about});
  busy.readFailure = {Kind::Other, "Too many open files"};
  busy.readFailureStatus = platform::FileRead::Status::Unavailable;
  third.Form_Load();
  EXPECT_EQ(busy.warnings.back(), "pelmo.ini: Too many open files。既定の位置で起動します。"
                                  "ファイルはそのままにし、終了時にも書き換えません。");
  journal.clear();
  third.mnuEnd_Click();
  EXPECT_EQ(journal, (fake::Journal{"NotifyIcon Delete", "End"}));
  EXPECT_FALSE(third.settingsLost());
}

TEST_F(Lifecycle, FarAndOffScreenPositions) {
  session.screenList = {{0, 0, 1920 * 15, 1080 * 15}, {1920 * 15, 0, 1920 * 15, 1080 * 15}};
  session.file = "600\r\n40000\r\n1\r\n";  // on the second screen, beyond 16 bits
  form.Form_Load();
  EXPECT_EQ(window.leftTwips, 40000);
  session.file = "600\r\n-90000\r\n1\r\n";  // a screen since unplugged
  form.Form_Load();
  EXPECT_EQ(window.leftTwips, 0);
  EXPECT_EQ(window.topTwips, 600);
  session.file = "-100\r\n-200\r\n1\r\n";  // partly off the edge: kept
  form.Form_Load();
  EXPECT_EQ(window.leftTwips, -200);
  EXPECT_EQ(window.topTwips, -100);
}

TEST_F(Lifecycle, QuitWritesThenRemovesTheIconThenEnds) {
  form.Form_Load();
  journal.clear();
  form.onMenuClick(mnuEnd);
  EXPECT_EQ(journal, (fake::Journal{"Write pelmo.ini", "NotifyIcon Delete", "End"}));
  EXPECT_FALSE(form.settingsLost());
  journal.clear();
  form.onUnload(platform::UnloadMode::Unattended);  // SIGTERM, a logout: the same ordinary way
  EXPECT_EQ(journal, (fake::Journal{"Write pelmo.ini", "NotifyIcon Delete", "End"}));
}

TEST_F(Lifecycle, AFailedSaveIsABoxOnlyWhenTheUserQuitsAndNeverHoldsTheEndUp) {
  form.Form_Load();
  session.writeFailure = {platform::FileProblem::Kind::NoSpace, {}};
  journal.clear();
  form.mnuEnd_Click();
  ASSERT_EQ(session.alerts.size(), 1u);
  EXPECT_EQ(session.alerts[0], "設定を保存できませんでした: pelmo.ini: ディスクの空き容量が足りません");
  EXPECT_TRUE(form.settingsLost());  // the program's exit status says so
  EXPECT_EQ(journal, (fake::Journal{"Write pelmo.ini", "NotifyIcon Delete", "End"}));
  form.onUnload(platform::UnloadMode::UserClose);  // the window manager's close
  EXPECT_EQ(session.alerts.size(), 2u);

  // SIGTERM, a logout: standard error only, and the program ends.
  journal.clear();
  form.onUnload(platform::UnloadMode::Unattended);
  EXPECT_EQ(session.alerts.size(), 2u);
  ASSERT_EQ(session.warnings.size(), 1u);
  EXPECT_EQ(session.warnings[0], session.alerts[0]);
  EXPECT_EQ(journal, (fake::Journal{"Write pelmo.ini", "NotifyIcon Delete", "End"}));

  // SIGTERMs while the box waits end the program; no second box, no second write.
  session.onAlert = [this] {
    form.onUnload(platform::UnloadMode::Unattended);
    form.onUnload(platform::UnloadMode::Unattended);
  };
  journal.clear();
  form.mnuEnd_Click();
  EXPECT_EQ(session.alerts.size(), 3u);
  EXPECT_EQ(journal, (fake::Journal{"Write pelmo.ini", "End", "End", "NotifyIcon Delete", "End"}));
}

TEST_F(Lifecycle, TrayPressesShowAndOpenTheMenuOthersAreIgnored) {
  form.Form_Load();
  form.noApp_Click();
  journal.clear();
  for (int ignored : {512, 514, 515, 517, 518, 519}) trayPress(ignored);
  EXPECT_TRUE(journal.empty());
  trayPress(0x204);  // right press: the menu, the window stays hidden
  EXPECT_EQ(journal, (fake::Journal{"SetForegroundWindow", "DoEvents", "PopupMenu mnuTray"}));
  EXPECT_FALSE(window.shown);
  journal.clear();
  trayPress(0x201);  // left press
  EXPECT_EQ(journal, (fake::Journal{"MenuVisible mnuTray False", "Visible True"}));
}

TEST_F(Lifecycle, NotificationCodesRoundTiesToEvenThenTruncate) {
  EXPECT_EQ(monitor::NotificationCode(7695, 15), 513);
  EXPECT_EQ(monitor::NotificationCode(7709.9f, 15), 514);  // 7710 / 15
  EXPECT_EQ(monitor::NotificationCode(7709.4f, 15), 513);  // 7709 / 15, truncated
  EXPECT_EQ(monitor::NotificationCode(7694.5f, 15), 512);  // 7694 (ties to even) / 15
  EXPECT_EQ(monitor::NotificationCode(7695.5f, 15), 513);  // 7696 / 15
  EXPECT_EQ(monitor::NotificationCode(1026, 2.5f), 513);   // 2.5 rounds to 2
  EXPECT_EQ(monitor::NotificationCode(-30, 15), -2);
  EXPECT_THROW(monitor::NotificationCode(100, 0.4f), platform::RuntimeError);
  EXPECT_THROW(monitor::NotificationCode(1e12f, 15), platform::RuntimeError);
  // A real pointer over the 242-pixel window never reaches 513 pixels.
  form.Form_Load();
  journal.clear();
  form.onMouseMove(platform::FormItself, 0, 0, 241 * 15, 20 * 15);
  EXPECT_TRUE(journal.empty());
}

TEST_F(Lifecycle, AlwaysOnTopFlipsAndShowsAHiddenWindow) {
  form.Form_Load();
  form.noApp_Click();
  EXPECT_FALSE(window.shown);
  form.onMenuClick(frmTop);
  EXPECT_TRUE(window.shown);
  EXPECT_TRUE(window.onTop);
  EXPECT_TRUE(window.checked[frmTop]);
  form.noApp_Click();
  form.onMenuClick(frmTop);
  EXPECT_TRUE(window.shown);
  EXPECT_FALSE(window.onTop);
  EXPECT_FALSE(window.checked[frmTop]);
  const std::int16_t five = 5;
  journal.clear();
  EXPECT_EQ(monitor::Module1::SetTopmost(window, five), 0);
  EXPECT_TRUE(journal.empty());
}

TEST_F(Lifecycle, PressesAndDoubleClicksOnTheWindow) {
  form.Form_Load();
  journal.clear();
  form.onMouseDown(platform::FormItself, platform::LeftButton, 0, 30, 30);
  EXPECT_EQ(journal, (fake::Journal{"BeginMove"}));
  journal.clear();
  form.onMouseDown(platform::FormItself, platform::RightButton, 0, 30, 30);  // the tray has the menu
  form.onMouseDown(Label13, platform::LeftButton, 0, 30, 30);               // labels start no drag
  form.onMouseDown(Image5, platform::LeftButton, 0, 30, 30);
  form.onMouseDown(Label13, platform::RightButton, 0, 30, 30);
  EXPECT_TRUE(journal.empty());
  tray.present = false;  // no notification area: a right press anywhere on the window opens the menu
  form.onMouseDown(platform::FormItself, platform::RightButton, 0, 30, 30);
  form.onMouseDown(Label13, platform::RightButton, 0, 30, 30);
  form.onMouseDown(Image5, platform::RightButton, 0, 30, 30);
  EXPECT_EQ(journal, (fake::Journal{"PopupMenu mnuTray", "PopupMenu mnuTray", "PopupMenu mnuTray"}));

  tray.present = true;
  form.onDblClick(Label2);
  EXPECT_TRUE(window.shown);
  form.onDblClick(Image5);
  EXPECT_FALSE(window.shown);
  form.onMenuClick(mnuAbout);
  EXPECT_TRUE(window.shown);
  form.onDblClick(platform::FormItself);
  EXPECT_FALSE(window.shown);
}

TEST_F(Lifecycle, WithoutATrayTheWindowIsNeverLeftHidden) {
  form.Form_Load();
  form.onTrayGone();  // while shown: nothing to do
  EXPECT_TRUE(window.shown);
  form.noApp_Click();
  tray.present = false;
  form.onTrayGone();
  EXPECT_TRUE(window.shown);
  form.onDblClick(platform::FormItself);  // no icon to bring it back: it stays
  form.onMenuClick(noApp);
  EXPECT_TRUE(window.shown);
  tray.present = true;  // a tray came back
  form.onMenuClick(noApp);
  EXPECT_FALSE(window.shown);
}

TEST_F(Lifecycle, AnotherStartBringsTheWindowToTheFront) {
  form.Form_Load();
  form.noApp_Click();
  journal.clear();
  form.onAnotherStart();
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(journal.back(), "SetForegroundWindow");
}

TEST_F(Lifecycle, QuitFromInsideThePopupMenu) {
  form.Form_Load();
  window.onPopup = [this] { form.onMenuClick(mnuEnd); };
  journal.clear();
  trayPress(0x204);
  EXPECT_EQ(journal, (fake::Journal{"SetForegroundWindow", "DoEvents", "PopupMenu mnuTray", "Write pelmo.ini",
                                    "NotifyIcon Delete", "End"}));
}

}  // namespace
