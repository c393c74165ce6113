// Fault tests of settings files: writers killed at any moment, writers and
// readers in several processes at once. Each runs thousands of real writes in
// a few seconds: in /dev/shm where there is one, since a sync to disk makes a
// write a hundred times slower and changes nothing a killed process leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "orv/settings/profile_file.h"
#include "orv/settings/win_profile.h"
#include "orv/text/encoding.h"
#include "test_files.h"

namespace orv::settings {
namespace {

std::filesystem::path scratchBase() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

// The whole file as it must be with DW at value: one key changes, every
// other line stays. Values keep one width, so that old and new files are
// the same size.
std::string drawIniWith(int value) {
  char dw[16];
  std::snprintf(dw, sizeof dw, "%06d", value);
  return "; pipe defaults\r\n[PIPE]\r\nDW=" + std::string(dw) +
         "\r\nWTBJ=150.000000\r\n\r\n[DRAW]\r\nENDSTYLE=1\r\n";
}

// A child that writes DW = from, from + 1, ... until it is killed, and
// reports each value whose write returned through the pipe (four bytes at a
// time, which a pipe delivers whole).
pid_t startWriter(const std::string& path, int from, int reportFd) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  for (int value = from;; ++value) {
    char dw[16];
    std::snprintf(dw, sizeof dw, "%06d", value);
    std::string problem;
    if (!writeProfileValue(path, "PIPE", "DW", dw, &problem)) ::_exit(1);
    if (::write(reportFd, &value, sizeof value) != sizeof value) ::_exit(1);
  }
}

// The last value the writer reported, or `none` when it reported none.
int lastReported(int fd, int none) {
  int last = none, value = 0;
  while (::read(fd, &value, sizeof value) == sizeof value) last = value;
  return last;
}

// The file as it is on disk, read without any cache of the reader's.
int valueOnDisk(const std::string& bytes) {
  const auto at = bytes.find("DW=");
  return at == std::string::npos ? -1 : std::atoi(bytes.c_str() + at + 3);
}

TEST(ProfileFileFaults, aWriterKilledAtAnyMomentLeavesTheOldOrTheNewValue) {
  TempDir dir(scratchBase());
  const std::string path = dir.file("draw.ini");
  writeBytes(path, drawIniWith(0));

  // Each writer is killed at a random moment of its next few writes, as
  // long as writes take on this machine: a few hundred kills in all.
  constexpr int kWrites = 2000;
  const auto started = std::chrono::steady_clock::now();
  for (int i = 1; i <= 20; ++i)
    ASSERT_TRUE(writeProfileValue(path, "PIPE", "DW", i % 2 ? "000001" : "000000"));
  const auto perWrite = std::chrono::duration_cast<std::chrono::microseconds>(
                            std::chrono::steady_clock::now() - started) /
                        20;
  ASSERT_EQ(readBytes(path), drawIniWith(0));
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<long> delayMicros(0, 4 * perWrite.count());
  int value = 0, kills = 0;
  while (value < kWrites) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t writer = startWriter(path, value + 1, fds[1]);
    ASSERT_GT(writer, 0);
    ::close(fds[1]);
    // From its first write on, a writer is up to speed (a new process is slow
    // to start, under the sanitizers most of all); the kill comes after that.
    int first = value;
    ASSERT_EQ(::read(fds[0], &first, sizeof first), static_cast<ssize_t>(sizeof first));
    // A busy wait: sleeping would round the moment up to the timer's tick.
    const auto killAt =
        std::chrono::steady_clock::now() + std::chrono::microseconds(delayMicros(random));
    while (std::chrono::steady_clock::now() < killAt) {
    }
    ::kill(writer, SIGKILL);
    int status = 0;
    ::waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed before it was killed";
    const int confirmed = lastReported(fds[0], first);
    ::close(fds[0]);
    ++kills;

    // The file holds the last write that returned, or the one under way.
    const std::string bytes = readBytes(path);
    const int onDisk = valueOnDisk(bytes);
    ASSERT_TRUE(onDisk == confirmed || onDisk == confirmed + 1)
        << "after kill " << kills << ": " << confirmed << " written, the file says " << onDisk;
    ASSERT_EQ(bytes, drawIniWith(onDisk)) << "after kill " << kills;
    // A reader in this process sees the same.
    char expected[16];
    std::snprintf(expected, sizeof expected, "%06d", onDisk);
    ASSERT_EQ(readProfileValue(path, "PIPE", "DW"), expected);
    value = onDisk;
  }
  // A killed writer may leave its temporary file, never anything else; the next
  // write removes what writers no longer alive left.
  for (const std::string& name : dir.entries()) {
    if (name == "draw.ini") continue;
    EXPECT_TRUE(name.starts_with(".draw.ini.") && name.ends_with(".tmp")) << name;
  }
  ASSERT_TRUE(writeProfileValue(path, "PIPE", "DW", "000000"));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"draw.ini"});
  RecordProperty("kills", kills);
}

// Runs body in n child processes at once; true when every one returned true.
bool inProcesses(int n, const std::function<bool(int)>& body) {
  std::vector<pid_t> children;
  for (int i = 0; i < n; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body(i) ? 0 : 1);
    children.push_back(pid);
  }
  bool ok = true;
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  return ok;
}

TEST(ProfileFileFaults, twoWritersOfAThousandKeysEachLoseNoneWhileAReaderWatches) {
  TempDir dir(scratchBase());
  const std::string path = dir.file("draw.ini");
  writeBytes(path, "[PIPE]\r\nDW=100.000000\r\n");
  const std::wstring file = text::widen(path);
  constexpr int kKeys = 1000;

  // Two writers through the profile functions, each its own keys and its own
  // counter, and a reader that must find the file whole at every moment.
  int stop[2];  // closed by the test when the writers are done
  ASSERT_EQ(::pipe(stop), 0);
  const pid_t reader = ::fork();
  if (reader == 0) {
    ::close(stop[1]);
    ::fcntl(stop[0], F_SETFL, O_NONBLOCK);
    int lastA = -1, lastB = -1;
    char byte;
    while (::read(stop[0], &byte, 1) != 0) {
      wchar_t buffer[64];
      getPrivateProfileString(L"PIPE", L"DW", L"<missing>", buffer, 64, file.c_str());
      if (std::wstring(buffer) != L"100.000000") ::_exit(2);
      // Counters never go back: a reader never sees an older file after a newer one.
      const int a = static_cast<int>(getPrivateProfileInt(L"A", L"COUNT", -1, file.c_str()));
      const int b = static_cast<int>(getPrivateProfileInt(L"B", L"COUNT", -1, file.c_str()));
      if (a < lastA || b < lastB) ::_exit(3);
      lastA = a;
      lastB = b;
    }
    ::_exit(0);
  }
  ::close(stop[0]);

  const bool written = inProcesses(2, [&](int writer) {
    const std::wstring prefix = writer == 0 ? L"A" : L"B";
    for (int i = 0; i < kKeys; ++i) {
      const std::wstring value = std::to_wstring(i);
      if (!writePrivateProfileString(L"PIPE", (prefix + value).c_str(), value.c_str(),
                                     file.c_str()))
        return false;
      if (!writePrivateProfileString(prefix.c_str(), L"COUNT", value.c_str(), file.c_str()))
        return false;
    }
    return true;
  });
  ::close(stop[1]);
  int readerStatus = 0;
  ::waitpid(reader, &readerStatus, 0);
  ASSERT_TRUE(written);
  EXPECT_TRUE(WIFEXITED(readerStatus) && WEXITSTATUS(readerStatus) == 0)
      << "the reader saw a damaged or older file (status " << WEXITSTATUS(readerStatus) << ")";

  const auto loaded = loadProfile(path);
  ASSERT_EQ(loaded.state, LoadedProfile::State::Loaded);
  EXPECT_EQ(loaded.document.keyNames("PIPE").size(), 1u + 2 * kKeys);
  int lost = 0;
  for (int i = 0; i < kKeys; ++i) {
    for (const char* prefix : {"A", "B"}) {
      if (loaded.document.value("PIPE", prefix + std::to_string(i)) != std::to_string(i)) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(loaded.document.value("A", "COUNT"), std::to_string(kKeys - 1));
  EXPECT_EQ(loaded.document.value("B", "COUNT"), std::to_string(kKeys - 1));
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"draw.ini"});
}

}  // namespace
}  // namespace orv::settings
