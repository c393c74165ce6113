// Reading a pattern from a linetype file in the .lin format, and the program's own file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "property_commands.h"

namespace {

using namespace orv;

TEST(LinetypeFile, findsSimplePatternsByNameAndRefusesWhatItCannotRead) {
  const std::string file =
      ";; comment\n"
      "*DASHED,Dashed __ __\r\n"
      "A,.5,-.25\r\n"
      "*DOTTY,Dots\n"
      "A,0,-.25,0,-.5\n"
      "*GAS,Gas line ----GAS----\n"
      "A,.5,-.2,[\"GAS\",STANDARD,S=.1,R=0.0,X=-0.1,Y=-.05],-.25\n"
      "*EMPTY,No pattern\n"
      "*AFTER,After\n"
      "A,1,-1\n";
  struct Case {
    const char* name;
    std::vector<double> elements;  // empty: not found
    bool problem;
  } cases[] = {
      {"dashed", {0.5, -0.25}, false},
      {"DOTTY", {0, -0.25, 0, -0.5}, false},
      {"GAS", {}, true},
      {"EMPTY", {}, true},
      {"NOSUCH", {}, false},
  };
  for (const auto& c : cases) {
    std::istringstream in(file);
    std::string problem;
    const auto found = app::findLinetypePattern(in, c.name, problem);
    EXPECT_EQ(found.has_value(), !c.elements.empty()) << c.name;
    EXPECT_EQ(!problem.empty(), c.problem) << c.name << ": " << problem;
    if (!found) continue;
    std::vector<double> lengths;
    double total = 0;
    for (const auto& e : found->elements) {
      lengths.push_back(e.length);
      total += std::abs(e.length);
    }
    EXPECT_EQ(lengths, c.elements) << c.name;
    EXPECT_DOUBLE_EQ(found->totalLength, total) << c.name;
  }
}

TEST(LinetypeFile, theProgramsOwnFileHoldsTheStandardPatterns) {
  std::ifstream in(ORV_LINETYPE_FILE);
  ASSERT_TRUE(in) << ORV_LINETYPE_FILE;
  const std::stringstream all = [&] {
    std::stringstream s;
    s << in.rdbuf();
    return s;
  }();
  for (const char* name : {"BORDER", "CENTER", "DASHDOT", "DASHED", "DIVIDE", "DOT", "HIDDEN", "PHANTOM",
                           "HIDDEN2", "CENTERX2", "ACAD_ISO02W100"}) {
    std::istringstream copy(all.str());
    std::string problem;
    const auto found = app::findLinetypePattern(copy, name, problem);
    ASSERT_TRUE(found) << name << ": " << problem;
    EXPECT_GT(found->totalLength, 0) << name;
  }
}

}  // namespace
