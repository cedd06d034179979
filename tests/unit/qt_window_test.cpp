// The monitor window's design as the Qt backend renders it, and what the
// backend tells the logic, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFile>
#include <QFontInfo>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <string>
#include <vector>

#include "monitor_design.h"
#include "picture_decode.h"
#include "qt_controls.h"
#include "qt_look.h"
#include "qt_tray.h"
#include "qt_window.h"

namespace {

using namespace monitor;

struct NoReport final : platform::ErrorReporter {
  void reportAndEnd(const platform::RuntimeError&) noexcept override {}
};

struct PaintCounter final : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// What the backend delivers, in order.
struct Journal final : ui::WindowEvents, platform::TrayEvents {
  std::vector<std::string> seen;
  void onPress(int control, int buttons) override {
    seen.push_back("press " + std::to_string(control) + " " + std::to_string(buttons));
  }
  void onDoubleClick(int control) override { seen.push_back("double " + std::to_string(control)); }
  void onClose(ui::CloseReason reason) override {
    seen.push_back(reason == ui::CloseReason::ByUser ? "close by user" : "close unattended");
  }
  void onTrayShowWindow() override { seen.push_back("tray show"); }
  void onTrayMenu() override { seen.push_back("tray menu"); }
  void onTrayGone() override { seen.push_back("tray gone"); }
};

class RenderedMonitor : public ::testing::Test {
 protected:
  NoReport reporter;
  platform::HandlerGuard guard{reporter};
  platform::qt::QtWindow window{monitor::Design, guard};

  QRect geometryOf(int control) { return window.control(control)->geometry(); }
  platform::qt::LabelControl* label(int control) { return static_cast<platform::qt::LabelControl*>(window.control(control)); }
  platform::qt::ShapeControl* shape(int control) { return static_cast<platform::qt::ShapeControl*>(window.control(control)); }
  // Columns of the shape's own drawing that are not transparent.
  int drawnColumns(int control) {
    QWidget* widget = window.control(control);
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, {}, {}, QWidget::RenderFlags());  // the shape alone, no background
    int columns = 0;
    for (int x = 0; x < image.width(); ++x) columns += qAlpha(image.pixel(x, image.height() / 2)) != 0;
    return columns;
  }
};

TEST_F(RenderedMonitor, ClientAreaAndPlacesFromTheDesign) {
  // The 242 x 39 client area inside the one-pixel border the window draws.
  EXPECT_EQ(window.size(), QSize(244, 41));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());  // not resizable
  EXPECT_FALSE(window.windowFlags() & Qt::WindowTitleHint);
  EXPECT_TRUE(window.windowFlags() & Qt::Tool);
  EXPECT_EQ(geometryOf(TemperatureCaption).topLeft(), QPoint(9, 9));
  EXPECT_EQ(geometryOf(CpuCaption).topLeft(), QPoint(169, 25));
  EXPECT_EQ(geometryOf(Logo), QRect(172, 2, 70, 20));
  EXPECT_EQ(geometryOf(CpuBar).topLeft(), QPoint(169, 41));  // below the client area
  // Places are the client area's, as pelmo.ini keeps them.
  window.moveTo(1260, 1635);
  EXPECT_EQ(window.geometry().topLeft(), QPoint(83, 108));
  EXPECT_EQ(window.left(), 1260);
  EXPECT_EQ(window.top(), 1635);
  EXPECT_EQ(shape(CpuBar)->rectangleWidth(), 67);
}

TEST_F(RenderedMonitor, LabelsUseABoldJapaneseFontAndCarryTheirTooltips) {
  const QFontInfo info(label(MemoryCaption)->font());
  EXPECT_EQ(info.family(), "IPAPGothic");
  EXPECT_TRUE(info.bold());
  EXPECT_EQ(label(MemoryCaption)->toolTip(), QString::fromUtf8("物理メモリ使用率"));
  EXPECT_EQ(label(TemperatureCaption)->toolTip(), QString::fromUtf8("CPU温度"));
  EXPECT_TRUE(label(MemoryValue)->toolTip().isEmpty());
  EXPECT_EQ(label(TemperatureUnit)->text(), "℃");
}

TEST_F(RenderedMonitor, NumberLabelsKeepTheirRightEdge) {
  const int right = 1 + 3330 / 15;  // the CPU value's right edge in pixels, inside the border
  EXPECT_EQ(geometryOf(CpuValue).x() + geometryOf(CpuValue).width(), right);
  window.setText(CpuValue, "5");
  const QRect narrow = geometryOf(CpuValue);
  EXPECT_EQ(narrow.x() + narrow.width(), right);
  window.setText(CpuValue, "-155");
  const QRect wide = geometryOf(CpuValue);
  EXPECT_EQ(wide.x() + wide.width(), right);
  EXPECT_GT(wide.width(), narrow.width());
  EXPECT_EQ(wide.y(), narrow.y());
}

TEST_F(RenderedMonitor, NegativeBarWidthsDrawAsNothing) {
  window.setWidth(ResourcesBar, -200);
  EXPECT_EQ(drawnColumns(ResourcesBar), 0);
  window.setWidth(ResourcesBar, 1500);
  EXPECT_EQ(drawnColumns(ResourcesBar), 100);
  EXPECT_EQ(geometryOf(ResourcesBar).x(), 89);  // grows to the right from the design's left edge
  const QRect before = geometryOf(ResourcesBar);
  window.setWidth(ResourcesBar, 30000);  // wider than the window: still drawn, clipped by it
  EXPECT_EQ(drawnColumns(ResourcesBar), 2000);
  EXPECT_EQ(geometryOf(ResourcesBar), before);  // a new width is a repaint, never a resize
}

TEST_F(RenderedMonitor, NothingIsRepaintedThatDidNotChange) {
  window.show();
  QApplication::processEvents();
  PaintCounter counter;
  window.installEventFilter(&counter);
  for (int c = 0; c < ControlCount; ++c) window.control(c)->installEventFilter(&counter);
  window.setText(MemoryValue, "100");  // the design caption again
  window.setWidth(MemoryBar, 1005);     // the design width again
  window.setWidth(CpuBar, 500);         // outside the client area
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  window.setText(MemoryValue, "42");
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
}

// Presses name the control under the pointer (or the window) and the
// buttons as the logic knows them; the window manager's close leaves the
// window to the logic.
TEST_F(RenderedMonitor, PressesAndCloseReachTheLogic) {
  Journal journal;
  window.attach(journal);
  const auto press = [](QWidget* widget, Qt::MouseButton button, QEvent::Type type = QEvent::MouseButtonPress) {
    QMouseEvent event(type, QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)), button, button, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  };
  press(window.control(TemperatureCaption), Qt::RightButton);
  press(window.control(Logo), Qt::LeftButton);
  press(window.control(Logo), Qt::LeftButton, QEvent::MouseButtonDblClick);
  press(&window, Qt::LeftButton, QEvent::MouseButtonDblClick);
  window.show();
  window.close();
  EXPECT_TRUE(window.isVisible());  // the logic decides whether it goes
  const std::vector<std::string> expected{
      "press " + std::to_string(TemperatureCaption) + " 2", "press " + std::to_string(Logo) + " 1",
      "double " + std::to_string(Logo), "double -1", "close by user"};
  EXPECT_EQ(journal.seen, expected);
}

// The icon's left press shows the window, its right press opens the menu,
// other presses do nothing; the tooltip is the text as given, and once the
// program is ending no press reaches the logic.
TEST_F(RenderedMonitor, TrayPressesBecomeTrayEvents) {
  platform::qt::QtTray tray(window, guard);
  Journal journal;
  tray.attach(journal);
  tray.show("pelmodesk – 温度 ✓");
  auto* icon = tray.findChild<QSystemTrayIcon*>();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->toolTip(), QString::fromUtf8("pelmodesk – 温度 ✓"));
  for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick,
                            QSystemTrayIcon::Context})
    emit icon->activated(reason);
  EXPECT_TRUE(journal.seen.empty());  // delivered from the event loop, after the panel has its answer
  QApplication::processEvents();
  EXPECT_EQ(journal.seen, (std::vector<std::string>{"tray show", "tray menu"}));
  guard.stop();
  emit icon->activated(QSystemTrayIcon::Trigger);
  QApplication::processEvents();
  EXPECT_EQ(journal.seen.size(), 2u);
}

// The program reads its own pictures past Qt's plugins: it must see exactly
// what Qt would, and decline (not misread) what it does not know.
TEST(Pictures, OwnDecodersSeeWhatQtSeesAndDeclineTheRest) {
  using platform::qt::DecodePaletteBmp, platform::qt::DecodePaletteIcon, platform::qt::DecodePalettePng;
  const std::pair<const char*, QImage (*)(const QByteArray&)> pictures[] = {
      {":/pictures/background.bmp", DecodePaletteBmp},
      {":/pictures/icon.ico", DecodePaletteIcon},
      {":/pictures/logo.png", DecodePalettePng},
  };
  for (const auto& [path, decode] : pictures) {
    SCOPED_TRACE(path);
    QFile file(QString::fromLatin1(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QImage ours = decode(bytes);
    ASSERT_FALSE(ours.isNull());
    EXPECT_EQ(ours.convertToFormat(QImage::Format_ARGB32_Premultiplied),
              QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    for (qsizetype cut : {qsizetype(0), qsizetype(30), bytes.size() / 2, bytes.size() - 20})
      EXPECT_TRUE(decode(bytes.left(cut)).isNull()) << "cut at " << cut;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
  QApplication app(argc, argv);
  platform::qt::SubstituteDesignFonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
