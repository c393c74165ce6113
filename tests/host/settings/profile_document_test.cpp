// Tests of the settings document: reading sections and keys from bytes, the
// encodings and line ends it keeps, and the edits a write makes.
#include "orv/settings/profile_document.h"

#include <gtest/gtest.h>

#include <random>

#include "orv/text/encoding.h"

namespace orv::settings {
namespace {

ProfileDocument parsed(std::string_view bytes) {
  auto doc = ProfileDocument::parse(bytes);
  if (!doc) ADD_FAILURE() << "not parsed: " << bytes;
  return doc ? std::move(*doc) : ProfileDocument();
}

std::string valueOr(const ProfileDocument& doc, std::string_view s, std::string_view k,
                    std::string fallback = "<missing>") {
  auto v = doc.value(s, k);
  return v ? std::string(*v) : fallback;
}

TEST(ProfileReading, matchesNamesCaseInsensitivelyAndDropsBlanks) {
  const auto doc = parsed("[ Pipe ]\n\t dw =  100.000000 \t\n[\xD0\xA2\xD0\xA0]\nK=1\n");
  EXPECT_EQ(valueOr(doc, "PIPE", "DW"), "100.000000");
  EXPECT_EQ(valueOr(doc, "pipe", "Dw"), "100.000000");
  EXPECT_EQ(valueOr(doc, " PIPE\t", " DW "), "100.000000");
  EXPECT_EQ(valueOr(doc, "\xD1\x82\xD1\x80", "k"), "1");  // Cyrillic section, other case
  EXPECT_EQ(valueOr(doc, "PIPE", "WTBJ"), "<missing>");
  EXPECT_EQ(valueOr(doc, "DRAW", "DW"), "<missing>");
}

TEST(ProfileReading, removesOnlyMatchingEnclosingQuotes) {
  const auto doc =
      parsed("[Q]\nboth=\" a b \"\nsingle='x'\nmixed=\"x'\nlone=\"\nempty=\"\"\ninner=a\"b\"\n");
  EXPECT_EQ(valueOr(doc, "Q", "both"), " a b ");
  EXPECT_EQ(valueOr(doc, "Q", "single"), "x");
  EXPECT_EQ(valueOr(doc, "Q", "mixed"), "\"x'");
  EXPECT_EQ(valueOr(doc, "Q", "lone"), "\"");
  EXPECT_EQ(valueOr(doc, "Q", "empty"), "");
  EXPECT_EQ(valueOr(doc, "Q", "inner"), "a\"b\"");
}

TEST(ProfileReading, firstSectionAndFirstKeyOfANameWin) {
  const auto doc = parsed("[PIPE]\nDW=1\nDW=2\n[DRAW]\nENDSTYLE=1\n[pipe]\nDW=3\nWTBJ=4\n");
  EXPECT_EQ(valueOr(doc, "PIPE", "DW"), "1");
  EXPECT_EQ(valueOr(doc, "PIPE", "WTBJ"), "<missing>");  // only in the second [pipe]
}

TEST(ProfileReading, ignoresLinesThatAreNotKeys) {
  const auto doc = parsed(
      "orphan=1\n; comment=2\n[A] trailing text\nnoequals\n  ;x=3\n[B=2\nb=4\n=5\n[C]]\nc=6\n");
  EXPECT_EQ(valueOr(doc, "A", "orphan"), "<missing>");
  EXPECT_EQ(valueOr(doc, "A", "; comment"), "<missing>");
  EXPECT_EQ(valueOr(doc, "A", "noequals"), "<missing>");
  EXPECT_EQ(valueOr(doc, "A", ";x"), "<missing>");
  EXPECT_EQ(valueOr(doc, "A", "[B"), "2");  // no "]": a key line, as Windows reads it
  EXPECT_EQ(valueOr(doc, "A", "b"), "4");
  EXPECT_EQ(valueOr(doc, "C]", "c"), "6");  // the last "]" closes the name
  EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"A", "C]"}));
  EXPECT_EQ(doc.keyNames("a"), (std::vector<std::string>{"[B", "b"}));
}

TEST(ProfileReading, listsEachSectionAndKeyNameOnceInFileOrder) {
  const auto doc = parsed("[PIPE]\nDW=1\nWTBJ=2\ndw=3\n[]\n[DRAW]\n[Pipe]\nX=1\n");
  EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"PIPE", "DRAW"}));
  EXPECT_EQ(doc.keyNames("pipe"), (std::vector<std::string>{"DW", "WTBJ"}));
  EXPECT_TRUE(doc.keyNames("DRAW").empty());
  EXPECT_TRUE(doc.hasSection("draw"));
  EXPECT_FALSE(doc.hasSection("ZDY"));
}

TEST(ProfileEncoding, readsUtf8WithAndWithoutByteOrderMark) {
  const std::string body = "[FM]\nFMNAME=\xE9\x97\xB8\xE9\x98\x80\n";  // 闸阀
  const auto plain = parsed(body);
  const auto marked = parsed("\xEF\xBB\xBF" + body);
  EXPECT_EQ(plain.encoding(), FileEncoding::Utf8);
  EXPECT_EQ(marked.encoding(), FileEncoding::Utf8WithBom);
  EXPECT_EQ(valueOr(marked, "FM", "FMNAME"), "\xE9\x97\xB8\xE9\x98\x80");
  EXPECT_EQ(marked.serialize(), "\xEF\xBB\xBF" + body);
}

TEST(ProfileEncoding, readsAndKeepsUtf16LittleEndianWithItsMark) {
  const std::string utf8 = "[FM]\r\nFMNAME=\xE9\x97\xB8\xE9\x98\x80\r\n";
  const std::string bytes = "\xFF\xFE" + text::utf8ToUtf16le(utf8);
  auto doc = parsed(bytes);
  EXPECT_EQ(doc.encoding(), FileEncoding::Utf16Le);
  EXPECT_EQ(valueOr(doc, "fm", "fmname"), "\xE9\x97\xB8\xE9\x98\x80");
  EXPECT_EQ(doc.serialize(), bytes);
  doc.setValue("FM", "DW", "50.000000");
  EXPECT_EQ(doc.serialize(), "\xFF\xFE" + text::utf8ToUtf16le(utf8 + "DW=50.000000\r\n"));
}

TEST(ProfileEncoding, readsAndKeepsGbkByteForByte) {
  // [FM] FMNAME=闸阀, and a comment in GBK: ;中文注释
  const std::string bytes =
      "[FM]\r\n;\xD6\xD0\xCE\xC4\xD7\xA2\xCA\xCD\r\nFMNAME=\xD5\xA2\xB7\xA7\r\n";
  auto doc = parsed(bytes);
  EXPECT_EQ(doc.encoding(), FileEncoding::Gbk);
  EXPECT_EQ(valueOr(doc, "FM", "FMNAME"), "\xE9\x97\xB8\xE9\x98\x80");
  EXPECT_EQ(doc.serialize(), bytes);
  doc.setValue("FM", "FMFILENAME", "/lib/\xE9\x97\xB8\xE9\x98\x80.dxf");
  EXPECT_EQ(doc.encoding(), FileEncoding::Gbk);
  EXPECT_EQ(doc.serialize(), bytes + "FMFILENAME=/lib/\xD5\xA2\xB7\xA7.dxf\r\n");
}

TEST(ProfileEncoding, gbkFileBecomesUtf8RatherThanLoseACharacter) {
  const std::string bytes = "[FM]\nFMNAME=\xD5\xA2\xB7\xA7\n";
  auto doc = parsed(bytes);
  doc.setValue("FM", "NOTE", "\xF0\x9F\x94\xA7");  // 🔧 is not in GBK
  EXPECT_EQ(doc.encoding(), FileEncoding::Utf8);
  EXPECT_EQ(doc.serialize(), "[FM]\nFMNAME=\xE9\x97\xB8\xE9\x98\x80\nNOTE=\xF0\x9F\x94\xA7\n");
}

TEST(ProfileEncoding, refusesBytesThatAreNotText) {
  const std::string cases[] = {
      std::string("[A]\nk=1\n\0\0\x01", 11),     // NUL bytes
      "[A]\nk=\xFF\xFF\n",                       // neither UTF-8 nor GBK
      "\xEF\xBB\xBF[A]\nk=\xD6\xD0\n",           // UTF-8 mark, then GBK
      std::string("\xFF\xFE[\0A\0]", 7),         // UTF-16, odd length
      std::string("\xFF\xFE[\0\x00\xDC]\0", 8),  // UTF-16, lone low surrogate
      std::string("\xFF\xFE[\0\0\0]\0", 8),      // UTF-16 holding a NUL
      std::string("\xFE\xFF\0[\0A\0]", 8),       // UTF-16 big-endian
  };
  for (const std::string& bytes : cases) {
    std::string why;
    EXPECT_FALSE(ProfileDocument::parse(bytes, &why)) << testing::PrintToString(bytes);
    EXPECT_FALSE(why.empty());
  }
}

TEST(ProfileLines, keepsCrlfAndUsesItForNewLines) {
  auto doc = parsed("[PIPE]\r\nDW=1\r\n");
  EXPECT_EQ(doc.newline(), "\r\n");
  doc.setValue("PIPE", "WTBJ", "2");
  doc.setValue("DRAW", "ENDSTYLE", "1");
  EXPECT_EQ(doc.serialize(), "[PIPE]\r\nDW=1\r\nWTBJ=2\r\n[DRAW]\r\nENDSTYLE=1\r\n");
}

TEST(ProfileLines, neverGluesANewLineToALastLineWithoutLineEnd) {
  auto key = parsed("[PIPE]\nDW=1");
  EXPECT_EQ(valueOr(key, "PIPE", "DW"), "1");
  key.setValue("PIPE", "WTBJ", "2");
  EXPECT_EQ(key.serialize(), "[PIPE]\nDW=1\nWTBJ=2\n");

  auto header = parsed("[PIPE]");
  header.setValue("PIPE", "DW", "1");
  EXPECT_EQ(header.serialize(), "[PIPE]\nDW=1\n");

  auto section = parsed("[PIPE]\r\nDW=1\r\n; end");
  section.setValue("DRAW", "ENDSTYLE", "3");
  EXPECT_EQ(section.serialize(), "[PIPE]\r\nDW=1\r\n; end\r\n[DRAW]\r\nENDSTYLE=3\r\n");
}

TEST(ProfileLines, handlesLinesOfMegabytes) {
  const std::string huge(3 << 20, 'x');
  const std::string bytes = "[A]\nbig=" + huge + "\n;" + huge + "\nk=1\n";
  auto doc = parsed(bytes);
  EXPECT_EQ(valueOr(doc, "A", "big").size(), huge.size());
  EXPECT_EQ(valueOr(doc, "A", "k"), "1");
  doc.setValue("A", "k", "2");
  EXPECT_EQ(doc.serialize(), "[A]\nbig=" + huge + "\n;" + huge + "\nk=2\n");
}

TEST(ProfileEditing, changesOnlyTheKeyLineAndKeepsEveryOtherLine) {
  const std::string before =
      "; pipe settings\n\n[PIPE]\n  DW = 100.000000  ; old\n\tjunk "
      "line\nDW=7\nWTBJ=150\n\n[DRAW]\n";
  auto doc = parsed(before);
  EXPECT_EQ(doc.setValue("pipe", "dw", "80.000000"), Change::Made);
  // The first DW line is rewritten as key=value in the file's spelling.
  EXPECT_EQ(doc.serialize(),
            "; pipe settings\n\n[PIPE]\nDW=80.000000\n\tjunk line\nDW=7\nWTBJ=150\n\n[DRAW]\n");
}

TEST(ProfileEditing, addsAKeyAfterTheLastKeyLineOfItsSection) {
  auto doc = parsed("[PIPE]\nDW=1\n; trailing comment\n\n[DRAW]\nENDSTYLE=1\n");
  doc.setValue("PIPE", "WTBJ", "2");
  doc.setValue("DRAW", "X", "3");
  doc.setValue("ST", "DW1", "4");
  EXPECT_EQ(doc.serialize(),
            "[PIPE]\nDW=1\nWTBJ=2\n; trailing comment\n\n[DRAW]\nENDSTYLE=1\nX=3\n[ST]\nDW1=4\n");
}

TEST(ProfileEditing, startsANewFileAsUtf8WithLf) {
  ProfileDocument doc;
  EXPECT_EQ(doc.setValue("PIPE", "DW", "100.000000"), Change::Made);
  EXPECT_EQ(doc.setValue("PIPE", "WTBJ", "150.000000"), Change::Made);
  EXPECT_EQ(doc.serialize(), "[PIPE]\nDW=100.000000\nWTBJ=150.000000\n");
  EXPECT_EQ(doc.encoding(), FileEncoding::Utf8);
}

TEST(ProfileEditing, writingTheValueThatIsThereChangesNothing) {
  auto doc = parsed("[PIPE]\nDW = 1\nQ=\"a\"\n");
  EXPECT_EQ(doc.setValue("PIPE", "dw", "1"), Change::None);
  EXPECT_EQ(doc.setValue("PIPE", "Q", "a"), Change::Made);  // the quotes go
  EXPECT_EQ(doc.serialize(), "[PIPE]\nDW = 1\nQ=a\n");
}

TEST(ProfileEditing, removesAKeyWhereverAReaderCouldFindIt) {
  auto doc = parsed("[PIPE]\nDW=1\nWTBJ=2\ndw=3\n[DRAW]\nDW=9\n[pipe]\nDW=4\n");
  EXPECT_EQ(doc.removeKey("Pipe", "DW"), Change::Made);
  EXPECT_FALSE(doc.value("PIPE", "DW"));
  EXPECT_EQ(doc.serialize(), "[PIPE]\nWTBJ=2\n[DRAW]\nDW=9\n[pipe]\n");
  EXPECT_EQ(doc.removeKey("PIPE", "DW"), Change::None);
}

TEST(ProfileEditing, removesASectionWithAllItsLines) {
  auto doc = parsed("; top\n[PIPE]\nDW=1\n; note\n[DRAW]\nE=1\n[Pipe]\nX=2");
  EXPECT_EQ(doc.removeSection("PIPE"), Change::Made);
  EXPECT_EQ(doc.serialize(), "; top\n[DRAW]\nE=1\n");
  EXPECT_EQ(doc.removeSection("PIPE"), Change::None);
}

TEST(ProfileEditing, refusesNamesAndValuesThatWouldBreakTheFile) {
  auto check = [](std::string_view s, std::string_view k, std::string_view v) {
    return ProfileDocument::checkWritable(s, &k, &v);
  };
  EXPECT_EQ(check("PIPE", "DW", "1"), "");
  EXPECT_EQ(check("PIPE", "DW", "a \"b\" = c"), "");
  EXPECT_NE(check("PIPE", "DW", "1\n[EVIL]"), "");
  EXPECT_NE(check("PIPE", "DW", "1\r"), "");
  EXPECT_NE(check("PI]PE", "DW", "1"), "");
  EXPECT_NE(check("PIPE\n", "DW", "1"), "");
  EXPECT_NE(check("PIPE", "D=W", "1"), "");
  EXPECT_NE(check("PIPE", "  ", "1"), "");
  EXPECT_NE(check("PIPE", "[DW", "1"), "");
  EXPECT_NE(check("PIPE", ";DW", "1"), "");
}

// Whatever bytes come in, a document that reads them writes them back
// unchanged, and an edit leaves the rest of the text alone.
TEST(ProfileHostile, randomBytesNeverCrashAndRoundTrip) {
  std::mt19937 random(20240601);
  const std::string alphabet("[]=;\"' \t\r\nAbk\xD6\xD0\xE4\xB8\xAD\xFF\xFE\0", 21);
  int texts = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string bytes(random() % 60, ' ');
    // Mostly text, now and then a byte that may make it binary.
    for (char& c : bytes)
      c = alphabet[random() % (random() % 8 ? alphabet.size() - 3 : alphabet.size())];
    auto doc = ProfileDocument::parse(bytes);
    if (!doc) continue;
    ++texts;
    ASSERT_EQ(doc->serialize(), bytes);
    if (doc->setValue("A", "k", "v") == Change::Made) {
      EXPECT_EQ(doc->value("a", "K").value_or("<missing>"), "v") << testing::PrintToString(bytes);
    }
    doc->removeSection("A");
    EXPECT_FALSE(doc->value("A", "k"));
  }
  EXPECT_GT(texts, 1500);
}

TEST(ProfileHostile, manySectionsAndKeysAreHandledInOnePass) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i)
    bytes += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
  auto doc = parsed(bytes);
  EXPECT_EQ(doc.sectionNames().size(), 200000u);
  EXPECT_EQ(valueOr(doc, "s199999", "K"), "199999");
  doc.setValue("S0", "k", "x");
  EXPECT_EQ(doc.serialize().size(), bytes.size());
}

}  // namespace
}  // namespace orv::settings
