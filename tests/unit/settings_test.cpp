#include "settings.h"
#include "shown_bytes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using monitor::FormatSettings;
using monitor::ParseSettings;
using monitor::Settings;
using monitor::SettingsProblem;
using monitor::ShortestText;

Settings accepted(std::string_view text) {
  const auto result = ParseSettings(text);
  if (const auto* problem = std::get_if<SettingsProblem>(&result))
    ADD_FAILURE() << "rejected \"" << text << "\": " << monitor::DescribeProblem(*problem);
  return std::get_if<Settings>(&result) ? std::get<Settings>(result) : Settings{};
}

SettingsProblem rejected(std::string_view text) {
  const auto result = ParseSettings(text);
  EXPECT_TRUE(std::holds_alternative<SettingsProblem>(result)) << "accepted \"" << text << "\"";
  return std::holds_alternative<SettingsProblem>(result) ? std::get<SettingsProblem>(result) : SettingsProblem{};
}

TEST(SettingsFile, WritesThreeCrLfLinesInTheShortestForm) {
  EXPECT_EQ(FormatSettings(1200, 9000, true), "1200\r\n9000\r\n0\r\n");  // 0: always on top
  EXPECT_EQ(FormatSettings(-450, 1234.5f, false), "-450\r\n1234.5\r\n1\r\n");
  EXPECT_EQ(FormatSettings(40000, 0, true), "40000\r\n0\r\n0\r\n");
  EXPECT_EQ(ShortestText(12345678), "1.234568E+07");
  EXPECT_EQ(ShortestText(-0.0f), "0");
  EXPECT_EQ(ShortestText(0.5f), "0.5");
}

TEST(SettingsFile, ReadsWhatItWrites) {
  for (const auto& [top, left, onTop] : {std::tuple{1200.0f, 9000.0f, true}, {-450, -30, false}, {40000, 65535, false},
                                         {1234.5f, 99, true}}) {
    const Settings s = accepted(FormatSettings(top, left, onTop));
    EXPECT_EQ(s.top, static_cast<std::int32_t>(std::nearbyint(top)));
    EXPECT_EQ(s.left, static_cast<std::int32_t>(left));
    EXPECT_EQ(s.alwaysOnTop, onTop);
  }
}

TEST(SettingsFile, FieldRules) {
  // Leading blanks skipped, comma or any line end ends a field.
  Settings s = accepted("  1200 \r\n\t9000\r\n 0\r\n");
  EXPECT_EQ(s.top, 1200);
  EXPECT_EQ(s.left, 9000);
  s = accepted("1,2,3");
  EXPECT_EQ(s.left, 2);
  EXPECT_FALSE(s.alwaysOnTop);  // any number but 0 is off
  s = accepted("10\r20\r1\r");  // CR without LF
  EXPECT_EQ(s.left, 20);
  s = accepted("10\n20\n0");  // LF alone, no final line end
  EXPECT_TRUE(s.alwaysOnTop);
  // The nearest integer, ties to even.
  s = accepted("1234.5\r\n1235.5\r\n-0.5\r\n");
  EXPECT_EQ(s.top, 1234);
  EXPECT_EQ(s.left, 1236);
  EXPECT_TRUE(s.alwaysOnTop);  // -0.5 is 0
  s = accepted("1.2E3\r\n+7\r\n.9\r\n");
  EXPECT_EQ(s.top, 1200);
  EXPECT_EQ(s.left, 7);
  EXPECT_FALSE(s.alwaysOnTop);  // .9 is 1
  // Far positions fit; only the flag is 16 bits.
  s = accepted("32768\r\n-40000\r\n32767\r\n");
  EXPECT_EQ(s.top, 32768);
  EXPECT_EQ(s.left, -40000);
}

TEST(SettingsFile, GarbageIsRejectedWithTheLineItIsOn) {
  EXPECT_EQ(rejected("").line, 1);
  EXPECT_EQ(rejected("1200\r\n9000\r\n").line, 3);
  SettingsProblem p = rejected("1200\r\nleft\r\n0\r\n");
  EXPECT_EQ(p.line, 2);
  EXPECT_EQ(p.kind, SettingsProblem::Kind::NotANumber);
  EXPECT_EQ(monitor::DescribeProblem(p), "2 行目の左端位置「left」は数値ではありません");
  EXPECT_EQ(rejected("1200\r\n9000\r\n32768\r\n").line, 3);  // flag out of 16 bits
  EXPECT_EQ(rejected("3000000000\r\n0\r\n0\r\n").line, 1);
  EXPECT_EQ(rejected("12 34\r\n0\r\n0\r\n").line, 1);
  EXPECT_EQ(rejected("1e\r\n0\r\n0\r\n").line, 1);
  EXPECT_EQ(rejected("1200\r\n\r\n0\r\n").line, 2);  // an empty field is no number
  EXPECT_EQ(rejected("0x10\r\n0\r\n0\r\n").line, 1);
  EXPECT_EQ(rejected("nan\r\n0\r\n0\r\n").line, 1);
  EXPECT_EQ(rejected("1e999\r\n0\r\n0\r\n").line, 1);
  const std::string longLine(100000, '7');
  p = rejected(longLine + "\r\n0\r\n0\r\n");
  EXPECT_EQ(p.line, 1);
  EXPECT_EQ(p.text.size(), longLine.size());
  const std::string described = monitor::DescribeProblem(p);
  EXPECT_LT(described.size(), 400u);  // the report quotes the start and gives the length
  EXPECT_NE(described.find("全 100000 バイト"), std::string::npos);
}

TEST(SettingsFile, AByteOrderMarkIsSkippedOnlyAtTheStart) {
  EXPECT_EQ(accepted("\xEF\xBB\xBF" "1200\r\n9000\r\n0\r\n").left, 9000);
  EXPECT_EQ(rejected("1200\r\n\xEF\xBB\xBF" "9000\r\n0\r\n").line, 2);
  EXPECT_EQ(rejected("\xEF\xBB" "1200\r\n9000\r\n0\r\n").line, 1);
}

TEST(SettingsFile, ReportsShowEveryByteAndNoControlByte) {
  // A field meant for a terminal: clear the screen, retitle the window, ring.
  const SettingsProblem p = rejected("\x1B[2J\x1B]0;X\a\r\n0\r\n0\r\n");
  EXPECT_EQ(monitor::DescribeProblem(p), "1 行目の上端位置「\\x1B[2J\\x1B]0;X\\x07」は数値ではありません");
  // Past a NUL, C1 controls, broken UTF-8, a backslash; Japanese text stays.
  using platform::ShownBytes;
  EXPECT_EQ(ShownBytes(std::string_view("1\0" "2", 3)), "1\\x002");
  EXPECT_EQ(ShownBytes("a\xC2\x9B" "b\xE3\x81" "c\\d\x7F"), "a\\xC2\\x9Bb\\xE3\\x81c\\\\d\\x7F");
  EXPECT_EQ(ShownBytes("位置 é"), "位置 é");
  EXPECT_EQ(ShownBytes("\xF4\x90\x80\x80\xED\xA0\x80"), "\\xF4\\x90\\x80\\x80\\xED\\xA0\\x80");  // beyond U+10FFFF, a surrogate
  EXPECT_EQ(ShownBytes("abcdef", 3), "abc…(全 6 バイト)");
}

}  // namespace
