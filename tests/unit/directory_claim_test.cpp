// One copy per settings directory, with the running copy played by the
// test: who answers, who keeps silent, a copy that is ending, and a link to
// the running copy's file from elsewhere.
#include "directory_claim.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using platform::linux_::DirectoryClaim;
using Outcome = DirectoryClaim::Outcome;
using namespace std::chrono_literals;

// Answers the requests that reach `running` within a second, as `willShow`
// says; the copy ends (its claim goes) after the first when `endAfter`.
std::thread answering(std::unique_ptr<DirectoryClaim>& running, bool willShow, bool endAfter) {
  return std::thread([&running, willShow, endAfter] {
    pollfd p{running->listener(), POLLIN, 0};
    if (::poll(&p, 1, 1000) == 1 && running->takeRequest(willShow) && endAfter) running.reset();
  });
}

TEST(DirectoryClaim, OneCopyPerDirectory) {
  const fs::path home = fs::current_path();
  std::string a = (fs::temp_directory_path() / "pelmo-claim-XXXXXX").string(), b = a;
  ::mkdtemp(a.data());
  ::mkdtemp(b.data());
  fs::current_path(a);

  auto running = std::make_unique<DirectoryClaim>();
  ASSERT_EQ(running->claim("pelmo.ini", 1s), Outcome::Claimed);
  EXPECT_FALSE(running->takeRequest(true));  // nothing waiting: no wait either

  DirectoryClaim later;
  std::thread copy = answering(running, true, false);
  EXPECT_EQ(later.claim("pelmo.ini", 2s), Outcome::Answered);
  copy.join();
  EXPECT_EQ(later.listener(), -1);
  EXPECT_EQ(later.claim("pelmo.ini", 200ms), Outcome::Unanswered);  // nobody takes the request
  EXPECT_TRUE(running->takeRequest(true));  // taken late: the asker has gone, and that is no SIGPIPE

  copy = answering(running, false, true);  // ending: no answer, then gone
  EXPECT_EQ(later.claim("pelmo.ini", 2s), Outcome::Claimed);
  copy.join();

  fs::current_path(b);
  std::ofstream(fs::path(a) / "pelmo.ini") << "1\r\n2\r\n1\r\n";
  fs::create_symlink(fs::path(a) / "pelmo.ini", "linked.ini");
  DirectoryClaim elsewhere;
  EXPECT_EQ(elsewhere.claim("linked.ini", 200ms), Outcome::Unanswered);  // the same file, through a link
  EXPECT_EQ(elsewhere.claim("pelmo.ini", 1s), Outcome::Claimed);

  fs::current_path(home);
  fs::remove_all(a);
  fs::remove_all(b);
}

}  // namespace
