// CGD and CLT: what they ask and what they leave in the settings file.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "styles/ChangeLineTypeCmd.h"
#include "styles/ChangePipeParametersCmd.h"

using ChangePipeParameters = CommandFixture;
using ChangeLineType = CommandFixture;

TEST_F(ChangePipeParameters, writesEachValueAsSoonAsItIsAnswered) {
  // Cancelled before the radius question is answered: the diameter is already stored.
  run<CChangePipeParametersCmd>("150\n");
  EXPECT_EQ(ini(), "[PIPE]\nDW=150.000000\n");
  EXPECT_EQ(transcript(),
            "\n请输入请输入管道外径[0.000000][默认(0)]:150\n"
            "\n 请输入请输入弯头半径[0.000000][默认(0)]:*取消*\n");
}

TEST_F(ChangePipeParameters, showsStoredValuesAndKeepsThemOnEnter) {
  writeIni("[PIPE]\r\nDW = 100\r\nWTBJ=\"75\"\r\n");
  run<CChangePipeParametersCmd>("\n\n");
  EXPECT_EQ(transcript(),
            "\n请输入请输入管道外径[100.000000][默认(0)]:\n"
            "\n 请输入请输入弯头半径[75.000000][默认(0)]:\n");
  EXPECT_EQ(ini(), "[PIPE]\r\nDW=100.000000\r\nWTBJ=75.000000\r\n");
}

TEST_F(ChangePipeParameters, zeroAndEnterOnAnEmptyFileWriteNothing) {
  run<CChangePipeParametersCmd>("0\n\n");
  EXPECT_EQ(ini(), "<none>");
}

TEST_F(ChangePipeParameters, twoInvocationsShareOnlyTheSettingsFile) {
  run<CChangePipeParametersCmd>("120\n-20\n");
  run<CChangePipeParametersCmd>("\n\n");
  EXPECT_EQ(transcript(),
            "\n请输入请输入管道外径[120.000000][默认(0)]:\n"
            "\n 请输入请输入弯头半径[-20.000000][默认(0)]:\n");
}

TEST_F(ChangeLineType, longAnswersAreTakenWholeAndBlanksKept) {
  // Linetype names longer than the classic nine characters are stored whole.
  run<CChangeLineTypeCmd>("DASHEDX2_LONG_NAME\n  7  \n \nHIDDEN2\n");
  EXPECT_EQ(ini(),
            "[SIDELINE]\nLINETYPE=DASHEDX2_LONG_NAME\nLINECOLOR=  7  \n"
            "[MIDLINE]\nLINECOLOR=HIDDEN2\n");
}

TEST_F(ChangeLineType, anAnswerTooLongForTheHostIsAskedAgain) {
  std::string tooLong(300, 'X');
  run<CChangeLineTypeCmd>(tooLong + "\nDOT\n^C\n^C\n^C\n");
  EXPECT_NE(transcript().find("\n字符串太长。"), std::string::npos);
  EXPECT_EQ(ini(), "[SIDELINE]\nLINETYPE=DOT\n");
}
