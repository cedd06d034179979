// The monitor window's design as the Qt backend renders it, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFontInfo>

#include "form1_design.h"
#include "qt_form.h"
#include "qt_controls.h"
#include "picture_decode.h"
#include "qt_look.h"

namespace {

using namespace form1;

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

class MonitorWindow : public ::testing::Test {
 protected:
  NoReport reporter;
  platform::HandlerGuard guard{reporter};
  platform::qt::QtForm window{form1::Design, guard};

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

TEST_F(MonitorWindow, ClientAreaAndPlacesFromTheDesign) {
  // The 242 x 39 client area inside the one-pixel border the window draws.
  EXPECT_EQ(window.size(), QSize(244, 41));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());  // not resizable
  EXPECT_FALSE(window.windowFlags() & Qt::WindowTitleHint);
  EXPECT_TRUE(window.windowFlags() & Qt::Tool);
  EXPECT_EQ(geometryOf(Label1).topLeft(), QPoint(9, 9));
  EXPECT_EQ(geometryOf(Label15).topLeft(), QPoint(169, 25));
  EXPECT_EQ(geometryOf(Image5), QRect(172, 2, 70, 20));
  EXPECT_EQ(geometryOf(Shape3).topLeft(), QPoint(169, 41));  // below the client area
  // Places are the client area's, as pelmo.ini keeps them.
  window.setLeft(1260);
  window.setTop(1635);
  EXPECT_EQ(window.geometry().topLeft(), QPoint(83, 108));
  EXPECT_EQ(window.left(), 1260);
  EXPECT_EQ(window.top(), 1635);
  EXPECT_EQ(shape(Shape3)->rectangleWidth(), 67);
}

TEST_F(MonitorWindow, LabelsUseABoldJapaneseFontAndCarryTheirTooltips) {
  const QFontInfo info(label(Label13)->font());
  EXPECT_EQ(info.family(), "IPAPGothic");
  EXPECT_TRUE(info.bold());
  EXPECT_EQ(label(Label13)->toolTip(), QString::fromUtf8("物理メモリ使用率"));
  EXPECT_EQ(label(Label1)->toolTip(), QString::fromUtf8("CPU温度"));
  EXPECT_TRUE(label(Label2)->toolTip().isEmpty());
  EXPECT_EQ(label(Label20)->text(), QString::fromUtf8("℃"));
}

TEST_F(MonitorWindow, NumberLabelsKeepTheirRightEdge) {
  const int right = 1 + 3330 / 15;  // Label16's right edge in pixels, inside the border
  EXPECT_EQ(geometryOf(Label16).x() + geometryOf(Label16).width(), right);
  window.setCaption(Label16, "5");
  const QRect narrow = geometryOf(Label16);
  EXPECT_EQ(narrow.x() + narrow.width(), right);
  window.setCaption(Label16, "-155");
  const QRect wide = geometryOf(Label16);
  EXPECT_EQ(wide.x() + wide.width(), right);
  EXPECT_GT(wide.width(), narrow.width());
  EXPECT_EQ(wide.y(), narrow.y());
}

TEST_F(MonitorWindow, NegativeBarWidthsDrawAsNothing) {
  window.setWidth(Shape5, -200);
  EXPECT_EQ(drawnColumns(Shape5), 0);
  window.setWidth(Shape5, 1500);
  EXPECT_EQ(drawnColumns(Shape5), 100);
  EXPECT_EQ(geometryOf(Shape5).x(), 89);  // grows to the right from the design's left edge
  const QRect before = geometryOf(Shape5);
  window.setWidth(Shape5, 30000);  // wider than the window: still drawn, clipped by it
  EXPECT_EQ(drawnColumns(Shape5), 2000);
  EXPECT_EQ(geometryOf(Shape5), before);  // a new width is a repaint, never a resize
}

TEST_F(MonitorWindow, NothingIsRepaintedThatDidNotChange) {
  window.setVisible(true);
  QApplication::processEvents();
  PaintCounter counter;
  window.installEventFilter(&counter);
  for (int c = 0; c < ControlCount; ++c) window.control(c)->installEventFilter(&counter);
  window.setCaption(Label2, "100");  // the design caption again
  window.setWidth(Shape1, 1005);     // the design width again
  window.setWidth(Shape3, 500);      // outside the client area
  QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  window.setCaption(Label2, "42");
  QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
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
