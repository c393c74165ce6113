// The safe-write service: a file is replaced whole or not at all.
#include "orv/io/safe_write.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using orv::io::writeAll;
using orv::io::writeFileSafely;

namespace {

class SafeWrite : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("safe_write_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(dir_);
  }
  static std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  static void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
  std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
};

orv::io::FileFiller text(const std::string& t) {
  return [t](int fd) { return writeAll(fd, t.data(), t.size()); };
}

TEST_F(SafeWrite, replacesTheFileWholeAndLeavesNoTemporaryFile) {
  const fs::path file = dir_ / "a.txt";
  put(file, "old");
  ASSERT_EQ(writeFileSafely(file, text("new contents")), 0);
  EXPECT_EQ(read(file), "new contents");
  EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeWrite, failuresLeaveTheOldFileAsItWas) {
  const fs::path file = dir_ / "a.txt";
  struct Case {
    const char* what;
    orv::io::FileFiller fill;
    int expected;
  };
  const Case cases[] = {
      {"the filler fails after writing half", [](int fd) { writeAll(fd, "half", 4); return ENOSPC; }, ENOSPC},
      {"the filler fails at once", [](int) { return EIO; }, EIO},
      {"the descriptor is closed under it", [](int fd) { ::close(fd); return writeAll(fd, "x", 1); }, EBADF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    put(file, "old");
    EXPECT_EQ(writeFileSafely(file, c.fill), c.expected);
    EXPECT_EQ(read(file), "old");
    EXPECT_EQ(entries(), 1u);
  }
}

TEST_F(SafeWrite, aFolderThatCannotBeWrittenIsAnErrorAndKeepsTheFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  const fs::path file = dir_ / "a.txt";
  put(file, "old");
  fs::permissions(dir_, fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(writeFileSafely(file, text("new")), EACCES);
  EXPECT_EQ(read(file), "old");
}

TEST_F(SafeWrite, aMissingFolderIsAnError) {
  EXPECT_EQ(writeFileSafely(dir_ / "no" / "a.txt", text("x")), ENOENT);
}

TEST_F(SafeWrite, theNewFileGetsTheRequestedOrTheOldMode) {
  const fs::path file = dir_ / "a.txt";
  orv::io::SafeWriteOptions own;
  own.mode = 0600;
  ASSERT_EQ(writeFileSafely(file, text("x"), own), 0);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  ::chmod(file.c_str(), 0640);
  orv::io::SafeWriteOptions keep;
  keep.keepMode = true;
  ASSERT_EQ(writeFileSafely(file, text("y"), keep), 0);
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// The file object the picture and settings writers hold across their writes: nothing
// reaches the target before commit, a dropped or failed one leaves no temporary file,
// and one object commits once.
TEST_F(SafeWrite, aSafeFileReachesItsTargetOnlyByItsCommit) {
  const fs::path file = dir_ / "a.txt";
  put(file, "old");
  int error = 0;
  {
    auto dropped = orv::io::SafeFile::create(file, error);
    ASSERT_TRUE(dropped) << error;
    ASSERT_EQ(writeAll(dropped->fd(), "lost", 4), 0);
    EXPECT_EQ(dropped->temporaryPath().parent_path(), dir_);
    EXPECT_EQ(entries(), 2u);
  }
  EXPECT_EQ(read(file), "old");
  EXPECT_EQ(entries(), 1u);

  auto kept = orv::io::SafeFile::create(file, error);
  ASSERT_TRUE(kept);
  ASSERT_EQ(writeAll(kept->fd(), "new", 3), 0);
  EXPECT_EQ(read(file), "old");
  orv::io::SafeFile moved = std::move(*kept);
  EXPECT_EQ(moved.commit(), 0);
  EXPECT_EQ(read(file), "new");
  EXPECT_EQ(moved.commit(), EBADF);
  EXPECT_EQ(kept->commit(), EBADF);
  EXPECT_EQ(entries(), 1u);

  EXPECT_FALSE(orv::io::SafeFile::create(dir_ / "no" / "a.txt", error));
  EXPECT_EQ(error, ENOENT);
}

}  // namespace
