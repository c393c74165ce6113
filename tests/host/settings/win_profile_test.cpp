// Tests of the Windows profile functions' results: buffers, lists, defaults,
// numbers, and what a write leaves in the file.
#include "orv/settings/win_profile.h"

#include <gtest/gtest.h>

#include "orv/text/encoding.h"
#include "test_files.h"

namespace orv::settings {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

class WinProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.file("draw.ini");
    wpath_ = text::widen(path_);
  }
  void setFile(const std::string& bytes) { writeBytes(path_, bytes); }
  // GetPrivateProfileString into a buffer of size characters, the result as a
  // string of every character the call returned (terminators included).
  std::wstring get(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                   std::uint32_t size, std::uint32_t* count = nullptr) {
    std::wstring buffer(size + 4, L'#');
    const std::uint32_t n =
        getPrivateProfileString(section, key, def, buffer.data(), size, wpath_.c_str(), &problem_);
    if (count) *count = n;
    return buffer.substr(0, size);
  }
  std::wstring value(const wchar_t* section, const wchar_t* key, const wchar_t* def = L"") {
    wchar_t buffer[256];
    getPrivateProfileString(section, key, def, buffer, 256, wpath_.c_str(), &problem_);
    return buffer;
  }
  unsigned number(const wchar_t* key, int def = -7) {
    return getPrivateProfileInt(L"PIPE", key, def, wpath_.c_str(), &problem_);
  }

  TempDir dir_;
  std::string path_;
  std::wstring wpath_;
  std::string problem_;
};

TEST_F(WinProfile, cutsAValueToTheBufferLeavingRoomForTheTerminator) {
  setFile("[SIDELINE]\nLINETYPE=ACAD_ISO02W100_LONGER_NAME\n");
  std::uint32_t n = 0;
  const std::wstring got = get(L"SIDELINE", L"LINETYPE", L"", 20, &n);
  EXPECT_EQ(n, 19u);
  EXPECT_EQ(std::wstring(got.c_str()), L"ACAD_ISO02W100_LONG");
  EXPECT_EQ(get(L"SIDELINE", L"LINETYPE", L"", 1, &n), std::wstring(1, L'\0'));
  EXPECT_EQ(n, 0u);
}

TEST_F(WinProfile, sizeZeroOrNullBufferReturnsZeroAndWritesNothing) {
  setFile("[A]\nk=value\n");
  std::uint32_t n = 99;
  wchar_t guard[2] = {L'#', L'#'};
  n = getPrivateProfileString(L"A", L"k", L"", guard, 0, wpath_.c_str());
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(guard[0], L'#');
  EXPECT_EQ(getPrivateProfileString(L"A", L"k", L"", nullptr, 10, wpath_.c_str()), 0u);
}

TEST_F(WinProfile, defaultsLoseTrailingBlanksAndNullMeansEmpty) {
  setFile("[A]\nk=1\n");
  std::uint32_t n = 0;
  EXPECT_EQ(value(L"A", L"missing", L"  def  \t"), L"  def");
  EXPECT_EQ(std::wstring(get(L"A", L"missing", nullptr, 8, &n).c_str()), L"");
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(std::wstring(get(L"A", L"missing", L"default", 4, &n).c_str()), L"def");
  EXPECT_EQ(n, 3u);
  EXPECT_EQ(value(L"NOSECTION", L"k", L"d"), L"d");
}

TEST_F(WinProfile, missingFileGivesDefaultsWithoutAProblem) {
  EXPECT_EQ(value(L"PIPE", L"DW", L"0"), L"0");
  EXPECT_EQ(problem_, "");
  EXPECT_EQ(number(L"DW", 5), 5u);
  EXPECT_EQ(problem_, "");
}

TEST_F(WinProfile, listsSectionNamesEachTerminatedWithAFinalTerminator) {
  setFile("[PIPE]\nDW=1\n[DRAW]\n[pipe]\n");
  std::uint32_t n = 0;
  EXPECT_EQ(get(nullptr, nullptr, L"", 13, &n), std::wstring(L"PIPE\0DRAW\0\0##", 13));
  EXPECT_EQ(n, 10u);
  // Cut by the buffer: as much as fits in size - 2, then two terminators.
  EXPECT_EQ(get(nullptr, nullptr, L"", 8, &n), std::wstring(L"PIPE\0D\0\0", 8));
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(get(nullptr, nullptr, L"", 11, &n), std::wstring(L"PIPE\0DRAW\0\0", 11));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(get(nullptr, nullptr, L"", 10, &n), std::wstring(L"PIPE\0DRA\0\0", 10));
  EXPECT_EQ(n, 8u);
}

TEST_F(WinProfile, listsKeyNamesOfASection) {
  setFile("[PIPE]\nDW=1\n; x=2\nWTBJ=2\n[DRAW]\n");
  std::uint32_t n = 0;
  EXPECT_EQ(get(L"pipe", nullptr, L"", 10, &n), std::wstring(L"DW\0WTBJ\0\0#", 10));
  EXPECT_EQ(n, 8u);
  EXPECT_EQ(get(L"DRAW", nullptr, L"x", 3, &n), std::wstring(L"\0\0#", 3));
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(std::wstring(get(L"NONE", nullptr, L"dflt", 8, &n).c_str()), L"dflt");
}

TEST_F(WinProfile, readsValuesInEveryEncodingThroughWideText) {
  const std::string utf8 = "[FM]\r\nFMNAME=\"\xE9\x97\xB8\xE9\x98\x80 A\"\r\n";
  const std::wstring expected = L"\u95F8\u9600 A";
  setFile(utf8);
  EXPECT_EQ(value(L"FM", L"fmname"), expected);
  setFile("\xFF\xFE" + text::utf8ToUtf16le(utf8));
  EXPECT_EQ(value(L"FM", L"fmname"), expected);
  setFile(*text::utf8ToGbk(utf8));
  EXPECT_EQ(value(L"FM", L"fmname"), expected);
  EXPECT_EQ(problem_, "");
}

TEST_F(WinProfile, readsNumbersAsWindowsDoes) {
  setFile(
      "[PIPE]\nletters=abc\nmixed=12abc\nspaced=  42 7\nneg=-12\nplus=+7\nhex=0x1F\nupper=0XffG\n"
      "bare0x=0x\nreal=100.000000\nempty=\nquoted=\"5\"\nbig=4294967297\nnegzero=-0\n");
  EXPECT_EQ(number(L"letters"), 0u);
  EXPECT_EQ(number(L"mixed"), 12u);
  EXPECT_EQ(number(L"spaced"), 42u);
  EXPECT_EQ(static_cast<int>(number(L"neg")), -12);
  EXPECT_EQ(number(L"plus"), 7u);
  EXPECT_EQ(number(L"hex"), 31u);
  EXPECT_EQ(number(L"upper"), 255u);
  EXPECT_EQ(number(L"bare0x"), 0u);
  EXPECT_EQ(number(L"real"), 100u);
  EXPECT_EQ(static_cast<int>(number(L"empty")), -7);    // empty value: the default
  EXPECT_EQ(static_cast<int>(number(L"missing")), -7);  // missing key: the default
  EXPECT_EQ(number(L"quoted"), 5u);
  EXPECT_EQ(number(L"big"), 1u);  // wraps modulo 2^32
  EXPECT_EQ(number(L"negzero"), 0u);
}

TEST_F(WinProfile, writesANewFileAsPlainKeyValueLines) {
  EXPECT_TRUE(writePrivateProfileString(L"PIPE", L"DW", L"100.000000", wpath_.c_str(), &problem_));
  EXPECT_TRUE(writePrivateProfileString(L"PIPE", L"WTBJ", L"150.000000", wpath_.c_str()));
  EXPECT_TRUE(writePrivateProfileString(L"FM", L"FMNAME", L"\u95F8\u9600", wpath_.c_str()));
  EXPECT_EQ(readBytes(path_),
            "[PIPE]\nDW=100.000000\nWTBJ=150.000000\n[FM]\nFMNAME=\xE9\x97\xB8\xE9\x98\x80\n");
  EXPECT_EQ(problem_, "");
  EXPECT_EQ(value(L"fm", L"FMNAME"), L"\u95F8\u9600");
}

TEST_F(WinProfile, nullValueRemovesTheKeyAndNullKeyTheSection) {
  setFile("[PIPE]\nDW=1\nWTBJ=2\n[DRAW]\nENDSTYLE=1\n");
  EXPECT_TRUE(writePrivateProfileString(L"PIPE", L"DW", nullptr, wpath_.c_str()));
  EXPECT_EQ(readBytes(path_), "[PIPE]\nWTBJ=2\n[DRAW]\nENDSTYLE=1\n");
  EXPECT_TRUE(writePrivateProfileString(L"pipe", nullptr, nullptr, wpath_.c_str()));
  EXPECT_EQ(readBytes(path_), "[DRAW]\nENDSTYLE=1\n");
  EXPECT_TRUE(writePrivateProfileString(nullptr, nullptr, nullptr, wpath_.c_str()));
  EXPECT_FALSE(writePrivateProfileString(nullptr, L"k", L"v", wpath_.c_str()));
  EXPECT_EQ(readBytes(path_), "[DRAW]\nENDSTYLE=1\n");
}

TEST_F(WinProfile, removingFromAMissingFileDoesNotCreateIt) {
  EXPECT_TRUE(writePrivateProfileString(L"PIPE", L"DW", nullptr, wpath_.c_str(), &problem_));
  EXPECT_TRUE(writePrivateProfileString(L"PIPE", nullptr, nullptr, wpath_.c_str(), &problem_));
  EXPECT_TRUE(dir_.entries().empty());
}

TEST_F(WinProfile, refusesAValueThatWouldAddLines) {
  setFile("[PIPE]\nDW=1\n");
  EXPECT_FALSE(writePrivateProfileString(L"PIPE", L"DW", L"2\n[DRAW]\nENDSTYLE=9", wpath_.c_str(),
                                         &problem_));
  EXPECT_NE(problem_.find(path_), std::string::npos);
  EXPECT_EQ(problem_.find('\n'), std::string::npos);
  EXPECT_EQ(readBytes(path_), "[PIPE]\nDW=1\n");
}

TEST_F(WinProfile, binaryFileReadsAsMissingKeysWithAProblemNamingIt) {
  const std::string binary("[PIPE]\nDW=5\n\0\x01\x02\xFF", 16);
  setFile(binary);
  EXPECT_EQ(value(L"PIPE", L"DW", L"0"), L"0");
  EXPECT_NE(problem_.find(path_), std::string::npos) << problem_;
  EXPECT_EQ(number(L"DW", 3), 3u);
  EXPECT_FALSE(problem_.empty());
  EXPECT_FALSE(writePrivateProfileString(L"PIPE", L"DW", L"1", wpath_.c_str(), &problem_));
  EXPECT_NE(problem_.find(path_), std::string::npos);
  EXPECT_EQ(readBytes(path_), binary);
  // The problem is cleared by the next call that has none.
  setFile("[PIPE]\nDW=5\n");
  EXPECT_EQ(value(L"PIPE", L"DW"), L"5");
  EXPECT_EQ(problem_, "");
}

}  // namespace
}  // namespace orv::settings
