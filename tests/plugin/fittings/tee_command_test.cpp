// ST: the tee data kept between uses, and how the dialogue ends.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "fittings/DrawSTCmd.h"

using Tee = CommandFixture;

TEST_F(Tee, emptyAnswersRewriteOnlyNonZeroValues) {
  writeIni("[ST]\nDW1=150\nDW2=0\nSIDEL=junk\n");
  run<CDrawSTCmd>("c\n\n\n\n0,0\n10,0\n\n");
  EXPECT_EQ(ini(), "[ST]\nDW1=150.000000\nDW2=0\nSIDEL=junk\n");
}

TEST_F(Tee, aZeroKeywordAsksForThePlainFirstPoint) {
  run<CDrawSTCmd>("0\n5,5\n^C\n2\n");
  EXPECT_EQ(transcript(),
            "\n请输入第一点[x,y][管道外径(主0.000000)(支0.000000)][修改(C)]:0\n"
            "\n请输入第一点[x,y]:5,5\n"
            "\n 请输入第二点[x,y]:*取消*\n"
            "\n请选择三通形式(支管中0)(支管上1)(支管下2):2\n");
  EXPECT_EQ(ini(), "<none>");
}

TEST_F(Tee, noFirstPointEndsTheCommand) {
  run<CDrawSTCmd>("\n");
  EXPECT_EQ(transcript(), "\n请输入第一点[x,y][管道外径(主0.000000)(支0.000000)][修改(C)]:\n");
}

TEST_F(Tee, formsOutOfRangeFallBackToTheMiddleBranch) {
  run<CDrawSTCmd>("1,1\n2,2\n-1\n");
  EXPECT_NE(transcript().find(":-1\n\n输入错误,三通默认支管为中"), std::string::npos) << transcript();
  run<CDrawSTCmd>("1,1\n2,2\n99999\n");
  EXPECT_NE(transcript().find("\n需要 -32768 和 32767 之间的整数。"), std::string::npos);
}
