// Reading stored numbers and writing them in "%f" form.
#include "app/conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

TEST(StoredNumbers, readTheLeadingNumberAsTheRuntimeDoes) {
  struct Case {
    const wchar_t* text;
    double value;
  } cases[] = {
      {L"100.000000", 100},  {L"  -3.5e2xyz", -350}, {L"12abc", 12},  {L"abc", 0},
      {L"", 0},              {L"+7", 7},             {L".5", 0.5},    {L"5.", 5},
      {L"1e", 1},            {L"1e+", 1},            {L"-", 0},       {L".", 0},
      {L"0x10", 16},         {L"0x", 0},             {L"\t\n 42", 42}, {L"1,5", 1},
      {L"１２", 0},  // full-width digits are not digits
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(wtof(c.text), c.value) << std::wstring(c.text).size();
  EXPECT_EQ(wtof(nullptr), 0);
}

TEST(StoredNumbers, readNonFiniteValuesAsZero) {
  for (const wchar_t* text : {L"inf", L"-infinity", L"nan", L"1e999", L"-1e400", L"0x1p99999"})
    EXPECT_EQ(wtof(text), 0) << text;
  EXPECT_DOUBLE_EQ(wtof(L"1e-400"), 0);  // underflow is a tiny number, read as 0
}

TEST(StoredNumbers, formatWithSixDecimalsWhateverTheLocale) {
  EXPECT_EQ(formatReal(100), L"100.000000");
  EXPECT_EQ(formatReal(-20), L"-20.000000");
  EXPECT_EQ(formatReal(0.0000004), L"0.000000");
  EXPECT_EQ(formatReal(123.4567896), L"123.456790");
  EXPECT_EQ(formatReal(1e20), L"100000000000000000000.000000");
  EXPECT_EQ(formatReal(1e300).size(), 301u + 7u);
  EXPECT_EQ(formatInt(-3), L"-3");

  // A locale with a decimal comma changes nothing.
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "ru_RU.UTF-8"})
    if (std::setlocale(LC_ALL, name)) {
      comma = name;
      break;
    }
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_EQ(formatReal(1234.5), L"1234.500000");
  EXPECT_DOUBLE_EQ(wtof(L"1234.5"), 1234.5);
  std::setlocale(LC_ALL, "C");
}
