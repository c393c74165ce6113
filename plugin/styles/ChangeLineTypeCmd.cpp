// CLT: four questions, each answer stored as typed the moment it is given.
#include "styles/ChangeLineTypeCmd.h"

#include <cwchar>

#include "acedads.h"
#include "winapi.h"

namespace {

struct Question {
  const wchar_t* prompt;
  const wchar_t* section;
  const wchar_t* key;
};

constexpr Question kQuestions[] = {
    {L"\n请输入边线线型(必须为图纸中已有的线型名称):", L"SIDELINE", L"LINETYPE"},
    {L"\n请输入边线颜色[白0][红1][黄2][绿3][青4][蓝5][品红6]:", L"SIDELINE", L"LINECOLOR"},
    {L"\n请输入中心线线型(必须为图纸中已有的线型名称):", L"MIDLINE", L"LINETYPE"},
    {L"\n请输入中心线颜色[白0][红1][黄2][绿3][青4][蓝5][品红6]:", L"MIDLINE", L"LINECOLOR"},
};

// Long enough for any linetype name a drawing can hold; longer answers are
// refused by the host and asked again rather than cut.
constexpr size_t kAnswerChars = 256;

}  // namespace

void CChangeLineTypeCmd::run() {
  for (const Question& q : kQuestions) {
    wchar_t answer[kAnswerChars] = L"";
    // Blanks are part of the answer; only Enter ends it. A single blank keeps the key.
    int result = acedGetString(1, q.prompt, answer, kAnswerChars);
    if (result == RTNORM && std::wcscmp(answer, L" ") != 0)
      WritePrivateProfileStringW(q.section, q.key, answer, m_iniPath.c_str());
  }
}
