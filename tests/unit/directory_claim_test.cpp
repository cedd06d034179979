// One copy per settings directory, with the running copy played by the
// test: who answers, who keeps silent, a copy that is ending or was killed,
// a link to the running copy's file from elsewhere (through a path longer
// than PATH_MAX), starts whose environments differ, and another user who
// holds the directory's lock or rings the bell.
#include "directory_claim.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
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
    if (::poll(&p, 1, 1000) == 1 && running->takeRequests(willShow) == 1 && endAfter) running.reset();
  });
}

// Runs `body` in a child process as user nobody, until the test ends;
// returns once the body wrote to the pipe it is given, or ended.
struct AsNobody {
  pid_t pid = -1;
  explicit AsNobody(const std::function<void(int ready)>& body) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    if ((pid = ::fork()) == 0) {
      if (::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0) body(ready[1]);
      ::close(ready[1]);
      ::_exit(::pause());
    }
    ::close(ready[1]);
    (void)!::read(ready[0], &ready[1], 1);
    ::close(ready[0]);
  }
  ~AsNobody() {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
  }
};

// Scratch settings directories under one scratch directory.
struct Claims : ::testing::Test {
  fs::path home = fs::current_path(), scratch;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pelmo-claim-XXXXXX").string();
    scratch = ::mkdtemp(pattern.data());
    for (const fs::path& p : {scratch / "a", scratch / "b"}) fs::create_directory(p);
    fs::current_path(scratch / "a");
  }
  void TearDown() override {
    fs::current_path(home);
    fs::remove_all(scratch);
  }
};

TEST_F(Claims, OneCopyPerDirectoryWhateverTheEnvironment) {
  ::setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
  auto running = std::make_unique<DirectoryClaim>();
  ASSERT_EQ(running->claim("pelmo.ini", 1s), Outcome::Claimed);
  EXPECT_EQ(running->takeRequests(true), 0);  // nothing waiting: no wait either

  ::unsetenv("XDG_RUNTIME_DIR");
  ::setenv("TMPDIR", scratch.c_str(), 1);
  DirectoryClaim later;
  std::thread copy = answering(running, true, false);
  EXPECT_EQ(later.claim("pelmo.ini", 2s), Outcome::Answered);
  copy.join();
  ::unsetenv("TMPDIR");
  EXPECT_EQ(later.listener(), -1);
  EXPECT_EQ(later.claim("pelmo.ini", 200ms), Outcome::Unanswered);  // nobody takes the request
  EXPECT_EQ(running->takeRequests(true), 1);  // taken late: the asker has gone, and that is no SIGPIPE

  copy = answering(running, false, true);  // ending: no answer, then gone
  EXPECT_EQ(later.claim("pelmo.ini", 2s), Outcome::Claimed);
  copy.join();
  EXPECT_TRUE(fs::is_empty(scratch / "a"));  // the claim made no file
}

TEST_F(Claims, ALinkToTheFileClaimsItsDirectoryEvenFromAPathLongerThanPathMax) {
  DirectoryClaim running;
  ASSERT_EQ(running.claim("pelmo.ini", 1s), Outcome::Claimed);
  // A working directory whose path no system call takes whole.
  fs::current_path(scratch / "b");
  const std::string step(200, 'd');
  for (int depth = 0; depth < 25; ++depth) {
    ASSERT_EQ(::mkdir(step.c_str(), 0700), 0);
    ASSERT_EQ(::chdir(step.c_str()), 0);
  }
  fs::create_symlink(scratch / "a" / "pelmo.ini", "linked.ini");  // nothing there yet: followed all the same
  DirectoryClaim elsewhere;
  EXPECT_EQ(elsewhere.claim("linked.ini", 200ms), Outcome::Unanswered);
  EXPECT_EQ(elsewhere.claim("pelmo.ini", 1s), Outcome::Claimed);
}

TEST_F(Claims, AKilledCopyHoldsNothing) {
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
  DirectoryClaim next;
  EXPECT_EQ(next.claim("pelmo.ini", 1s), Outcome::Claimed);
}

TEST_F(Claims, AnotherUserCanNeitherStopAStartNorMakeTwoCopiesRun) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  fs::permissions(scratch, fs::perms::all);
  fs::permissions(scratch / "a", fs::perms::all);
  const AsNobody locker([](int ready) {  // anyone who may read a directory may lock it
    ::flock(::open(".", O_RDONLY | O_DIRECTORY), LOCK_EX);
    (void)!::write(ready, "y", 1);
  });
  auto running = std::make_unique<DirectoryClaim>();
  ASSERT_EQ(running->claim("pelmo.ini", 1s), Outcome::Claimed);
  DirectoryClaim later;
  std::thread copy = answering(running, true, false);
  EXPECT_EQ(later.claim("pelmo.ini", 2s), Outcome::Answered);
  copy.join();

  // Nobody's request is closed unanswered and is no request at all.
  sockaddr_un bell{};
  socklen_t length = sizeof bell;
  ASSERT_EQ(::getsockname(running->listener(), reinterpret_cast<sockaddr*>(&bell), &length), 0);
  const AsNobody asker([&](int ready) {
    ::connect(::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<const sockaddr*>(&bell), length);
    (void)!::write(ready, "y", 1);
  });
  pollfd p{running->listener(), POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 2000), 1);
  EXPECT_EQ(running->takeRequests(true), 0);
}

}  // namespace
