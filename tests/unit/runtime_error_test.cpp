#include "runtime_error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingReporter final : platform::ErrorReporter {
  std::vector<std::string> reports;
  void reportAndEnd(const platform::RuntimeError& error) noexcept override { reports.emplace_back(error.what()); }
};

TEST(RuntimeError, ReportNamesNumberMessageAndSubject) {
  const platform::RuntimeError e(platform::ErrorNumber::FileNotFound, "libresinfo.so");
  EXPECT_STREQ(e.what(), "実行時エラー '53':\n\nファイルが見つかりません。: libresinfo.so");
  EXPECT_STREQ(platform::RuntimeError(platform::ErrorNumber::OutOfMemory, {}).what(),
               "実行時エラー '7':\n\nメモリが不足しています。");
}

TEST(HandlerGuard, AnErrorLeavesTheHandlerIsReportedOnceAndStopsFurtherHandlers) {
  RecordingReporter reporter;
  platform::HandlerGuard guard(reporter);
  struct Held {
    bool& released;
    ~Held() { released = true; }
  };
  bool released = false, after = false;
  int handlersRun = 0;
  guard.run([&] {
    ++handlersRun;
    Held held{released};
    throw platform::RuntimeError(platform::ErrorNumber::EntryPointNotFound, "MemoryLoad");
    after = true;  // never reached
  });
  EXPECT_TRUE(released);
  EXPECT_FALSE(after);
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_NE(reporter.reports[0].find("'453'"), std::string::npos);
  EXPECT_TRUE(guard.ending());

  guard.run([&] { ++handlersRun; });
  EXPECT_EQ(handlersRun, 1);
  EXPECT_EQ(reporter.reports.size(), 1u);
}

TEST(HandlerGuard, OutOfMemoryIsARuntimeErrorToo) {
  RecordingReporter reporter;
  platform::HandlerGuard guard(reporter);
  guard.run([] { throw std::bad_alloc(); });
  ASSERT_EQ(reporter.reports.size(), 1u);
  EXPECT_NE(reporter.reports[0].find("'7'"), std::string::npos);
}

}  // namespace
