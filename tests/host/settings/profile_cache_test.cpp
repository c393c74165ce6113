// Reading a settings file again: a document read before is given again only while the
// file is unchanged, whoever changes it, however quickly.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "orv/settings/profile_file.h"
#include "test_files.h"

namespace orv::settings {
namespace {

using testing::TempDir;
using testing::writeBytes;

std::string valueOf(const std::string& path, const char* section, const char* key) {
  return readProfileValue(path, section, key).value_or("<missing>");
}

// Sets the file's modification time to `secondsAgo` in the past (its change time becomes now).
void age(const std::string& path, int secondsAgo) {
  timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= secondsAgo;
  times[1] = times[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Rewrites the file in place (same inode), as an editor that does not rename would.
void rewriteInPlace(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(fd);
}

TEST(ProfileCache, seesEveryChangeMadeInPlaceRightAfterARead) {
  TempDir dir;
  const std::string path = dir.file("draw.ini");
  writeBytes(path, "[DRAW]\nENDSTYLE=0\n");
  for (int i = 0; i < 300; ++i) {
    const std::string value = std::to_string(i % 3);
    // Same size, same inode, often within one tick of the file system's clock.
    rewriteInPlace(path, "[DRAW]\nENDSTYLE=" + value + "\n");
    ASSERT_EQ(valueOf(path, "DRAW", "ENDSTYLE"), value) << "round " << i;
    ASSERT_EQ(valueOf(path, "DRAW", "ENDSTYLE"), value) << "round " << i;
    if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

TEST(ProfileCache, sharesTheDocumentOfAnUnchangedFileAndDropsItOnChange) {
  TempDir dir;
  const std::string path = dir.file("draw.ini");
  writeBytes(path, "[PIPE]\nDW=100\n");
  age(path, 10);
  // Past the clock tick of the change time that age() gave the file.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const auto first = loadProfileShared(path);
  const auto second = loadProfileShared(path);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(second->document.value("PIPE", "DW"), "100");

  // Changed in place, same size, and given its old modification time back.
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  rewriteInPlace(path, "[PIPE]\nDW=200\n");
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(valueOf(path, "PIPE", "DW"), "200");

  // A write through the settings functions renames a new file into place.
  EXPECT_TRUE(writeProfileValue(path, "PIPE", "DW", "300"));
  EXPECT_EQ(valueOf(path, "PIPE", "DW"), "300");
  EXPECT_NE(loadProfileShared(path).get(), first.get());
}

TEST(ProfileCache, followsTheFileAPathNamesNow) {
  TempDir dir;
  const std::string a = dir.file("a.ini"), b = dir.file("b.ini"), link = dir.file("draw.ini");
  writeBytes(a, "[S]\nK=a\n");
  writeBytes(b, "[S]\nK=b\n");
  age(a, 10);
  age(b, 10);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_EQ(::symlink("a.ini", link.c_str()), 0);
  EXPECT_EQ(valueOf(link, "S", "K"), "a");
  EXPECT_EQ(valueOf(link, "S", "K"), "a");
  ASSERT_EQ(::unlink(link.c_str()), 0);
  ASSERT_EQ(::symlink("b.ini", link.c_str()), 0);
  EXPECT_EQ(valueOf(link, "S", "K"), "b");
  ASSERT_EQ(::unlink(link.c_str()), 0);
  EXPECT_EQ(valueOf(link, "S", "K"), "<missing>");
  EXPECT_EQ(valueOf(a, "S", "K"), "a");
}

TEST(ProfileCache, reportsAnUnusableFileAtEveryRead) {
  TempDir dir;
  const std::string path = dir.file("draw.ini");
  writeBytes(path, std::string("[S]\nK=\0\xFF\n", 9));
  age(path, 10);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  for (int i = 0; i < 3; ++i) {
    std::string problem;
    EXPECT_EQ(readProfileValue(path, "S", "K", &problem), std::nullopt);
    EXPECT_NE(problem.find(path), std::string::npos) << "read " << i;
  }
}

}  // namespace
}  // namespace orv::settings
