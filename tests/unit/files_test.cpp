// The settings file on a real file system, by bare name in a scratch
// directory: what is read, where a save writes, what it refuses.
#include "files.h"
#include "pread_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using platform::FileProblem;
using platform::FileRead;
using platform::OldFile;
using platform::linux_::ReadWholeFile;
using platform::linux_::ReplaceWholeFile;
using Kind = FileProblem::Kind;

struct SettingsOnDisk : ::testing::Test {
  fs::path home = fs::current_path();
  fs::path scratch;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "pelmo-files-XXXXXX").string();
    scratch = ::mkdtemp(pattern.data());
    fs::current_path(scratch);
  }
  void TearDown() override {
    fs::current_path(home);
    fs::permissions(scratch, fs::perms::all);
    fs::remove_all(scratch);
  }
  static void put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  static std::string get(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
  }
  // Everything in the directory but the given names.
  static std::vector<std::string> othersIn(const fs::path& dir, std::initializer_list<std::string> known) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(dir))
      if (std::find(known.begin(), known.end(), entry.path().filename()) == known.end())
        others.push_back(entry.path().filename());
    return others;
  }
};

TEST_F(SettingsOnDisk, OnlyARegularFileIsRead) {
  EXPECT_EQ(ReadWholeFile("pelmo.ini").status, FileRead::Status::Missing);
  ASSERT_EQ(::mkfifo("pelmo.ini", 0644), 0);  // no writer: a blocking open would never return
  FileRead read = ReadWholeFile("pelmo.ini");
  EXPECT_EQ(read.status, FileRead::Status::Failed);
  EXPECT_EQ(read.problem.kind, Kind::NotARegularFile);
  // Nor does a kernel file's reader wait on one (a bind mount over /proc/stat).
  EXPECT_TRUE(platform::linux_::PreadFile("pelmo.ini").read().empty());
  fs::remove("pelmo.ini");
  fs::create_directory("pelmo.ini");
  EXPECT_EQ(ReadWholeFile("pelmo.ini").problem.kind, Kind::IsADirectory);
  fs::remove("pelmo.ini");
  put("big", std::string((1 << 20) + 1, '7'));
  EXPECT_EQ(ReadWholeFile("big").problem.kind, Kind::TooLarge);
  // A socket, and links in a circle: said in Japanese, never as the system says it.
  fs::create_symlink("loop.ini", "pelmo.ini");
  fs::create_symlink("pelmo.ini", "loop.ini");
  EXPECT_EQ(ReadWholeFile("pelmo.ini").problem.kind, Kind::LinkLoop);
  EXPECT_EQ(ReplaceWholeFile("pelmo.ini", "new", OldFile::Replace).kind, Kind::LinkLoop);
  fs::remove("pelmo.ini");
  const int unix = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{AF_UNIX, "pelmo.ini"};
  ASSERT_EQ(::bind(unix, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(ReadWholeFile("pelmo.ini").problem.kind, Kind::NotARegularFile);
  ::close(unix);
  fs::remove("pelmo.ini");
  put("real.ini", "1\r\n2\r\n3\r\n");
  fs::create_symlink("real.ini", "pelmo.ini");
  read = ReadWholeFile("pelmo.ini");
  EXPECT_EQ(read.status, FileRead::Status::Ok);
  EXPECT_EQ(read.text, "1\r\n2\r\n3\r\n");
}

TEST_F(SettingsOnDisk, AFileNotOpenedForWantOfDescriptorsIsUnavailableNotRejected) {
  put("pelmo.ini", "1\r\n2\r\n3\r\n");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
  // Every descriptor below the lowest free one is taken: a limit there
  // leaves none to open.
  const int lowest = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  ::close(lowest);
  rlimit none = saved;
  none.rlim_cur = static_cast<rlim_t>(lowest);
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
  const FileRead there = ReadWholeFile("pelmo.ini"), absent = ReadWholeFile("absent.ini");
  ::setrlimit(RLIMIT_NOFILE, &saved);
  EXPECT_EQ(there.status, FileRead::Status::Unavailable);
  EXPECT_EQ(there.problem.systemText, std::strerror(EMFILE));
  EXPECT_EQ(absent.status, FileRead::Status::Missing);
}

TEST_F(SettingsOnDisk, ASaveWritesWhereTheLinkPointsAndClearsItsOwnLeftovers) {
  fs::create_directories("kept/here");
  put("kept/here/real.ini", "old");
  fs::create_symlink("here/real.ini", "kept/link.ini");
  fs::create_symlink("kept/link.ini", "pelmo.ini");  // a link to a link, both relative
  // What a kill during an earlier save left, and names that only look alike.
  for (const char* name : {"real.ini.pelmo-tmp-Ab3xZ9", "real.ini.pelmo-tmp-TOOLONG", "real.ini.AbC123"})
    put(fs::path("kept/here") / name, "stale");
  put("pelmo.ini.pelmo-tmp-Ab3xZ9", "not beside the target");
  ::chmod("kept/here/real.ini", 0600);

  EXPECT_FALSE(ReplaceWholeFile("pelmo.ini", "new", OldFile::Replace).failed());
  EXPECT_TRUE(fs::is_symlink("pelmo.ini"));
  EXPECT_TRUE(fs::is_symlink("kept/link.ini"));
  EXPECT_EQ(get("kept/here/real.ini"), "new");
  EXPECT_EQ(fs::status("kept/here/real.ini").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(othersIn("kept/here", {"real.ini", "real.ini.pelmo-tmp-TOOLONG", "real.ini.AbC123"}),
            std::vector<std::string>{});  // the stale one gone, no new one left
  EXPECT_FALSE(fs::exists("kept/here/real.ini.pelmo-tmp-Ab3xZ9"));
  EXPECT_TRUE(fs::exists("kept/here/real.ini.pelmo-tmp-TOOLONG"));
  EXPECT_TRUE(fs::exists("kept/here/real.ini.AbC123"));
  EXPECT_TRUE(fs::exists("pelmo.ini.pelmo-tmp-Ab3xZ9"));

  // A link to nothing yet: the file appears where it points.
  fs::create_symlink("made.ini", "dangling.ini");
  EXPECT_FALSE(ReplaceWholeFile("dangling.ini", "made", OldFile::Replace).failed());
  EXPECT_EQ(get("made.ini"), "made");
  EXPECT_TRUE(fs::is_symlink("dangling.ini"));
}

TEST_F(SettingsOnDisk, WhatMayNotBeReplacedIsAReportedFailure) {
  put("pelmo.ini", "mine");
  ::chmod("pelmo.ini", 0444);  // in a writable directory, even for root
  EXPECT_EQ(ReplaceWholeFile("pelmo.ini", "new", OldFile::Replace).kind, Kind::ReadOnlyFile);
  EXPECT_EQ(get("pelmo.ini"), "mine");
  fs::remove("pelmo.ini");
  fs::create_directory("pelmo.ini");
  EXPECT_EQ(ReplaceWholeFile("pelmo.ini", "new", OldFile::KeepAsBackup).kind, Kind::IsADirectory);
  EXPECT_TRUE(fs::is_directory("pelmo.ini"));
  fs::remove("pelmo.ini");
  ASSERT_EQ(::mkfifo("pelmo.ini", 0644), 0);
  EXPECT_EQ(ReplaceWholeFile("pelmo.ini", "new", OldFile::KeepAsBackup).kind, Kind::NotARegularFile);
  EXPECT_TRUE(fs::is_fifo("pelmo.ini"));
  EXPECT_EQ(othersIn(".", {"pelmo.ini"}), std::vector<std::string>{});

  // The directory deleted under the running program.
  fs::create_directory("gone");
  fs::current_path("gone");
  fs::remove(scratch / "gone");
  EXPECT_EQ(ReplaceWholeFile("pelmo.ini", "new", OldFile::Replace).kind, Kind::NotFound);
}

TEST_F(SettingsOnDisk, ARejectedFileIsKeptAsABackup) {
  put("pelmo.ini", "\x1b[2J garbage");
  put("pelmo.ini.bak", "an older backup");
  EXPECT_FALSE(ReplaceWholeFile("pelmo.ini", "1\r\n2\r\n1\r\n", OldFile::KeepAsBackup).failed());
  EXPECT_EQ(get("pelmo.ini"), "1\r\n2\r\n1\r\n");
  EXPECT_EQ(get("pelmo.ini.bak"), "\x1b[2J garbage");
  EXPECT_EQ(othersIn(".", {"pelmo.ini", "pelmo.ini.bak"}), std::vector<std::string>{});
  EXPECT_FALSE(ReplaceWholeFile("pelmo.ini", "1\r\n2\r\n0\r\n", OldFile::Replace).failed());
  EXPECT_EQ(get("pelmo.ini.bak"), "\x1b[2J garbage");

  // A save killed between its steps leaves the backup as a second name of
  // the file; the next save still leaves nothing else behind.
  fs::remove("pelmo.ini.bak");
  put("pelmo.ini", "rejected");
  fs::create_hard_link("pelmo.ini", "pelmo.ini.bak");
  EXPECT_FALSE(ReplaceWholeFile("pelmo.ini", "new", OldFile::KeepAsBackup).failed());
  EXPECT_EQ(get("pelmo.ini"), "new");
  EXPECT_EQ(get("pelmo.ini.bak"), "rejected");
  EXPECT_EQ(othersIn(".", {"pelmo.ini", "pelmo.ini.bak"}), std::vector<std::string>{});
}

}  // namespace
