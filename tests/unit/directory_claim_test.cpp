// One copy per settings directory, with the running copy played by the
// test: who answers, who keeps silent, a copy that is ending or was killed,
// a link to the running copy's file from elsewhere, and runtime directories
// that are not the user's own.
#include "directory_claim.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <algorithm>
#include <cstring>
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

// Scratch settings directories, a runtime directory of the user's own
// ($XDG_RUNTIME_DIR) and a $TMPDIR, all under one scratch directory.
struct Claims : ::testing::Test {
  fs::path home = fs::current_path(), scratch, runtime, tmp;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pelmo-claim-XXXXXX").string();
    scratch = ::mkdtemp(pattern.data());
    runtime = scratch / "run";
    tmp = scratch / "tmp";
    for (const fs::path& p : {runtime, tmp, scratch / "a", scratch / "b"}) fs::create_directory(p);
    fs::permissions(runtime, fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("TMPDIR", tmp.c_str(), 1);
    fs::current_path(scratch / "a");
  }
  void TearDown() override {
    fs::current_path(home);
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("TMPDIR");
    fs::remove_all(scratch);
  }
  std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(Claims, OneCopyPerDirectory) {
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

  fs::current_path(scratch / "b");
  std::ofstream(scratch / "a" / "pelmo.ini") << "1\r\n2\r\n1\r\n";
  fs::create_symlink(scratch / "a" / "pelmo.ini", "linked.ini");
  DirectoryClaim elsewhere;
  EXPECT_EQ(elsewhere.claim("linked.ini", 200ms), Outcome::Unanswered);  // the same file, through a link
  EXPECT_EQ(elsewhere.claim("pelmo.ini", 1s), Outcome::Claimed);
}

TEST_F(Claims, AKilledCopyLeavesNothingThatHoldsTheNextStartAndAnEndedOneNothingAtAll) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t killed = ::fork();
  if (killed == 0) {
    DirectoryClaim claim;
    const char claimed = claim.claim("pelmo.ini", 1s) == Outcome::Claimed ? 'y' : 'n';
    (void)!::write(ready[1], &claimed, 1);
    ::pause();
  }
  char claimed = 0;
  ASSERT_EQ(::read(ready[0], &claimed, 1), 1);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  ASSERT_EQ(claimed, 'y');
  const std::vector<std::string> left = namesIn(runtime);
  EXPECT_EQ(left.size(), 2u);  // the lock and the socket, nobody listening

  auto next = std::make_unique<DirectoryClaim>();
  EXPECT_EQ(next->claim("pelmo.ini", 1s), Outcome::Claimed);
  EXPECT_EQ(namesIn(runtime), left);
  next.reset();
  EXPECT_TRUE(namesIn(runtime).empty());
}

TEST_F(Claims, ARuntimeDirectoryThatIsNotTheUsersOwnIsNotUsed) {
  fs::permissions(runtime, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  DirectoryClaim claim;
  ASSERT_EQ(claim.claim("pelmo.ini", 1s), Outcome::Claimed);
  const fs::path fallback = tmp / ("pelmodesk-" + std::to_string(::getuid()));
  EXPECT_EQ(fs::status(fallback).permissions(), fs::perms::owner_all);
  EXPECT_TRUE(namesIn(runtime).empty());
  EXPECT_TRUE(claim.refused().empty());

  fs::current_path(scratch / "b");
  fs::permissions(fallback, fs::perms::all);  // open to everyone: refused, and the program runs
  DirectoryClaim refused;
  EXPECT_EQ(refused.claim("pelmo.ini", 1s), Outcome::Unclaimed);
  EXPECT_EQ(refused.refused(), fallback.string());
  fs::remove_all(fallback);
  fs::create_symlink(scratch / "b", fallback);  // a link to somewhere else: refused too
  EXPECT_EQ(refused.claim("pelmo.ini", 1s), Outcome::Unclaimed);
}

TEST_F(Claims, ARequestFromAnotherUserIsNeitherAnsweredNorShown) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to ask as another user";
  DirectoryClaim running;
  ASSERT_EQ(running.claim("pelmo.ini", 1s), Outcome::Claimed);
  // A runtime directory opened up after the claim: the socket alone guards.
  fs::permissions(scratch, fs::perms::all);
  fs::permissions(runtime, fs::perms::all);
  std::string socket;
  for (const std::string& name : namesIn(runtime))
    if (name.ends_with(".socket")) socket = (runtime / name).string();
  fs::permissions(socket, fs::perms::all);
  const pid_t asker = ::fork();
  if (asker == 0) {
    if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) ::_exit(2);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::_exit(3);
    char answer = 0;
    ::_exit(::read(fd, &answer, 1) == 1 ? 4 : 0);  // closed without a word
  }
  pollfd p{running.listener(), POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 2000), 1);
  EXPECT_FALSE(running.takeRequest(true));
  int status = -1;
  ::waitpid(asker, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
