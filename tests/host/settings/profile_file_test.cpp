// Tests of settings files on disk: what a write keeps, atomic replacement,
// writers in two processes, links, permissions, and files that cannot be used.
#include "orv/settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "orv/text/encoding.h"
#include "test_files.h"

namespace orv::settings {
namespace {

using testing::inChild;
using testing::inodeOf;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override { path_ = dir_.file("draw.ini"); }

  bool write(std::string_view section, std::string_view key,
             std::optional<std::string_view> value) {
    return writeProfileValue(path_, section, key, value, &problem_);
  }
  std::string read(std::string_view section, std::string_view key) {
    return readProfileValue(path_, section, key, &problem_).value_or("<missing>");
  }
  // Only the settings file is there: no temporary or lock file was left behind.
  void expectOnlyTheFile() { EXPECT_EQ(dir_.entries(), std::vector<std::string>{"draw.ini"}); }

  TempDir dir_;
  std::string path_;
  std::string problem_;
};

TEST_F(ProfileFile, keepsOtherLinesWhenWritingAKey) {
  const std::string before =
      "\xEF\xBB\xBF; written by hand\r\n\r\n[PIPE]\r\nDW = 100.000000\r\n  odd line\r\n"
      "[DRAW]\r\nENDSTYLE=1\r\n; the end";
  writeBytes(path_, before);
  EXPECT_TRUE(write("PIPE", "WTBJ", "150.000000")) << problem_;
  EXPECT_TRUE(write("draw", "endstyle", "2")) << problem_;
  EXPECT_EQ(readBytes(path_),
            "\xEF\xBB\xBF; written by hand\r\n\r\n[PIPE]\r\nDW = 100.000000\r\nWTBJ=150.000000\r\n"
            "  odd line\r\n[DRAW]\r\nENDSTYLE=2\r\n; the end");
  expectOnlyTheFile();
}

TEST_F(ProfileFile, keepsUtf16AndGbkFilesInTheirEncoding) {
  const std::string utf16 = "\xFF\xFE" + text::utf8ToUtf16le("[ZDY]\r\nZDYNAME=\xE6\xB3\xB5\r\n");
  writeBytes(path_, utf16);
  EXPECT_TRUE(write("ZDY", "ZDYFILENAME", "/\xE6\xB3\xB5.dxf"));  // 泵
  EXPECT_EQ(readBytes(path_),
            "\xFF\xFE" + text::utf8ToUtf16le(
                             "[ZDY]\r\nZDYNAME=\xE6\xB3\xB5\r\nZDYFILENAME=/\xE6\xB3\xB5.dxf\r\n"));

  writeBytes(path_, "[ZDY]\nZDYNAME=\xB1\xC3\n");  // 泵 in GBK
  EXPECT_EQ(read("ZDY", "ZDYNAME"), "\xE6\xB3\xB5");
  EXPECT_TRUE(write("ZDY", "ZDYFILENAME", "\xE9\x97\xB8"));  // 闸
  EXPECT_EQ(readBytes(path_), "[ZDY]\nZDYNAME=\xB1\xC3\nZDYFILENAME=\xD5\xA2\n");
  EXPECT_EQ(read("ZDY", "ZDYFILENAME"), "\xE9\x97\xB8");

  // 闸 alone in GBK, D5 A2, reads as UTF-8 (U+0562): once no byte tells that
  // the file is GBK, it is written in UTF-8, so that it reads back as written.
  EXPECT_TRUE(write("ZDY", "ZDYNAME", "\xE9\x97\xB8"));
  EXPECT_TRUE(write("ZDY", "ZDYFILENAME", std::nullopt));
  EXPECT_EQ(readBytes(path_), "[ZDY]\nZDYNAME=\xE9\x97\xB8\n");
  EXPECT_EQ(read("ZDY", "ZDYNAME"), "\xE9\x97\xB8");
}

TEST_F(ProfileFile, writingTheSameValueLeavesTheFileAlone) {
  writeBytes(path_, "[PIPE]\nDW=100.000000\n");
  const ino_t before = inodeOf(path_);
  EXPECT_TRUE(write("pipe", "DW", "100.000000"));
  EXPECT_EQ(inodeOf(path_), before);
  EXPECT_TRUE(write("pipe", "DW", "80.000000"));
  EXPECT_NE(inodeOf(path_), before);  // replaced by a new file, not changed in place
}

TEST_F(ProfileFile, keepsThePermissionBits) {
  writeBytes(path_, "[PIPE]\nDW=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  EXPECT_TRUE(write("PIPE", "DW", "2"));
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProfileFile, writesThroughASymbolicLinkToItsTarget) {
  ASSERT_EQ(::mkdir(dir_.file("real").c_str(), 0755), 0);
  const std::string target = dir_.file("real/draw.ini");
  writeBytes(target, "[PIPE]\nDW=1\n");
  ASSERT_EQ(::symlink("real/draw.ini", path_.c_str()), 0);  // relative link
  EXPECT_TRUE(write("PIPE", "DW", "2")) << problem_;
  struct stat st {};
  ASSERT_EQ(::lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(readBytes(target), "[PIPE]\nDW=2\n");
  EXPECT_EQ(read("PIPE", "DW"), "2");

  // A dangling link: the write creates its target.
  ASSERT_EQ(::unlink(target.c_str()), 0);
  EXPECT_TRUE(write("PIPE", "DW", "3")) << problem_;
  EXPECT_EQ(readBytes(target), "[PIPE]\nDW=3\n");
}

TEST_F(ProfileFile, neverOverwritesAFileThatIsNotText) {
  const std::string binary = std::string(
                                 "\x7F"
                                 "ELF\x02\x01\x01\0\0\0",
                                 10) +
                             "[PIPE]\nDW=1\n";
  writeBytes(path_, binary);
  EXPECT_EQ(read("PIPE", "DW"), "<missing>");
  EXPECT_NE(problem_.find(path_), std::string::npos);
  EXPECT_FALSE(write("PIPE", "DW", "2"));
  EXPECT_NE(problem_.find(path_), std::string::npos);
  EXPECT_EQ(readBytes(path_), binary);
  expectOnlyTheFile();
}

TEST_F(ProfileFile, refusesAHugeFileWithoutReadingOrReplacingIt) {
  writeBytes(path_, "[PIPE]\nDW=1\n;" + std::string(kMaxProfileBytes, 'x') + "\n");
  EXPECT_EQ(read("PIPE", "DW"), "<missing>");
  EXPECT_NE(problem_.find("16 MB"), std::string::npos) << problem_;
  const ino_t before = inodeOf(path_);
  EXPECT_FALSE(write("PIPE", "DW", "2"));
  EXPECT_EQ(inodeOf(path_), before);
}

TEST_F(ProfileFile, reportsADirectoryOrMissingFolderInsteadOfAFile) {
  ASSERT_EQ(::mkdir(path_.c_str(), 0755), 0);
  EXPECT_EQ(read("PIPE", "DW"), "<missing>");
  EXPECT_NE(problem_.find(path_), std::string::npos);
  EXPECT_FALSE(write("PIPE", "DW", "1"));
  EXPECT_FALSE(problem_.empty());

  const std::string nowhere = dir_.file("no/such/draw.ini");
  EXPECT_FALSE(writeProfileValue(nowhere, "PIPE", "DW", "1", &problem_));
  EXPECT_NE(problem_.find(nowhere), std::string::npos);
}

TEST_F(ProfileFile, readOnlyDirectoryKeepsTheOldFile) {
  writeBytes(path_, "[PIPE]\nDW=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
  const auto outcome = inChild(testing::dropPrivileges, [&](std::string& message) {
    return writeProfileValue(path_, "PIPE", "DW", "2", &message);
  });
  ::chmod(dir_.path().c_str(), 0755);
  ASSERT_TRUE(outcome.exited);
  EXPECT_FALSE(outcome.result);
  EXPECT_NE(outcome.message.find(path_), std::string::npos) << outcome.message;
  EXPECT_EQ(readBytes(path_), "[PIPE]\nDW=1\n");
  expectOnlyTheFile();
}

TEST_F(ProfileFile, readOnlyFileIsNotReplaced) {
  writeBytes(path_, "[PIPE]\nDW=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  const auto outcome = inChild(testing::dropPrivileges, [&](std::string& message) {
    // Owned by root and read-only: this user may read it but not change it.
    return writeProfileValue(path_, "PIPE", "DW", "2", &message);
  });
  ASSERT_TRUE(outcome.exited);
  EXPECT_FALSE(outcome.result);
  EXPECT_FALSE(outcome.message.empty());
  EXPECT_EQ(readBytes(path_), "[PIPE]\nDW=1\n");
}

TEST_F(ProfileFile, aWriteThatFailsMidwayKeepsTheOldFile) {
  // A file-size limit makes the write fail part way, as a full disk would.
  writeBytes(path_, "[PIPE]\nDW=1\n");
  const auto limitFileSize = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  };
  const auto outcome = inChild(limitFileSize, [&](std::string& message) {
    return writeProfileValue(path_, "PIPE", "NOTE", std::string(10000, 'n'), &message);
  });
  ASSERT_TRUE(outcome.exited);
  EXPECT_FALSE(outcome.result);
  EXPECT_NE(outcome.message.find(path_), std::string::npos) << outcome.message;
  EXPECT_EQ(readBytes(path_), "[PIPE]\nDW=1\n");
  expectOnlyTheFile();
}

TEST_F(ProfileFile, twoProcessesWritingAtOnceLoseNoKeys) {
  constexpr int kWrites = 60;
  writeBytes(path_, "[PIPE]\nDW=1\n");
  auto writer = [this](const std::string& prefix) {
    return [this, prefix](std::string& message) {
      for (int i = 0; i < kWrites; ++i) {
        const std::string key = prefix + std::to_string(i);
        if (!writeProfileValue(path_, "PIPE", key, std::to_string(i), &message)) return false;
        if (!writeProfileValue(path_, prefix, "LAST", std::to_string(i), &message)) return false;
      }
      return true;
    };
  };
  const pid_t other = ::fork();
  if (other == 0) {
    const auto outcome = inChild([] { return true; }, writer("B"));
    ::_exit(outcome.result ? 0 : 1);
  }
  const auto mine = inChild([] { return true; }, writer("A"));
  int status = 0;
  ::waitpid(other, &status, 0);
  EXPECT_TRUE(mine.result) << mine.message;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  auto loaded = loadProfile(path_);
  ASSERT_EQ(loaded.state, LoadedProfile::State::Loaded);
  const auto keys = loaded.document.keyNames("PIPE");
  EXPECT_EQ(keys.size(), 1u + 2 * kWrites);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(loaded.document.value("PIPE", "A" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(loaded.document.value("PIPE", "B" + std::to_string(i)), std::to_string(i));
  }
  EXPECT_EQ(loaded.document.value("A", "LAST"), std::to_string(kWrites - 1));
  EXPECT_EQ(loaded.document.value("B", "LAST"), std::to_string(kWrites - 1));
  expectOnlyTheFile();
}

}  // namespace
}  // namespace orv::settings
