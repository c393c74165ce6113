// The drawing commands show the shape they would make at the cursor while they wait for
// the point that decides it.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "orv/prompt/script_console.h"
#include "session.h"

namespace {

using namespace orv;

// Answers from a script and, at every question, asks the session's drag preview what
// it shows with the cursor at a given place.
class PreviewProbe final : public prompt::Console {
 public:
  PreviewProbe(const std::string& script, prompt::Point3 cursor) : in_(script), script_(in_, out_), cursor_(cursor) {}
  app::Session* session = nullptr;
  std::map<std::string, std::vector<db::Entity>> shown;  // by prompt, the last time it was asked

  void print(std::string_view text) override { script_.print(text); }
  void alert(std::string_view text) override { script_.alert(text); }
  prompt::Reply ask(std::string_view prompt, const prompt::AskOptions& options) override {
    if (session && session->dragPreview()) shown[std::string(prompt)] = session->dragPreview()(cursor_);
    return script_.ask(prompt, options);
  }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  prompt::ScriptConsole script_;
  prompt::Point3 cursor_;
};

// The numbers of a shape: a circle's centre and radius, an arc's also its angles, an
// ellipse's centre, major axis, ratio and parameters, a polyline's vertices.
std::vector<double> numbers(const db::Entity& e) {
  if (const auto* c = e.as<db::Circle>()) return {c->center.x, c->center.y, c->radius};
  if (const auto* a = e.as<db::Arc>()) return {a->center.x, a->center.y, a->radius, a->startAngle, a->endAngle};
  if (const auto* el = e.as<db::Ellipse>())
    return {el->center.x, el->center.y, el->majorAxis.x, el->majorAxis.y, el->ratio, el->startParam, el->endParam};
  std::vector<double> out;
  if (const auto* pl = e.as<db::Polyline>())
    for (std::size_t i = 0; i < pl->size(); ++i) out.insert(out.end(), {pl->point(i).x, pl->point(i).y});
  return out;
}

TEST(DragPreview, theShapeFollowsTheCursorAtThePromptThatDecidesIt) {
  constexpr double kPi = 3.14159265358979323846;
  struct Case {
    const char* script;
    prompt::Point3 cursor;
    const char* prompt;
    db::EntityKind kind;
    std::vector<double> want;
  };
  using K = db::EntityKind;
  const Case cases[] = {
      {"C\n10,10\n5\n", {13, 14, 0}, "\n指定圆的半径或 [直径(D)]: ", K::circle, {10, 10, 5}},
      {"C\n2P\n0,0\n6,0\n", {0, 8, 0}, "\n指定圆直径的第二个端点: ", K::circle, {0, 4, 4}},
      {"A\n10,0\n0,10\n-10,0\n", {-10, 0, 0}, "\n指定圆弧的端点: ", K::arc, {0, 0, 10, 0, 180}},
      {"A\nC\n0,0\n5,0\n0,5\n", {0, 7, 0}, "\n指定圆弧的端点或 [角度(A)]: ", K::arc, {0, 0, 5, 0, 90}},
      {"REC\n0,0\n10,5\n", {4, 3, 0}, "\n指定另一个角点: ", K::polyline, {0, 0, 4, 0, 4, 3, 0, 3}},
      {"POL\n4\n0,0\nC\n10\n", {10, 0, 0}, "\n指定圆的半径: ", K::polyline, {10, -10, 10, 10, -10, 10, -10, -10}},
      {"PL\n0,0\n10,0\n\n", {10, 10, 0}, "\n指定下一个点或 [圆弧(A)/半宽(H)/放弃(U)/宽度(W)]: ", K::polyline,
       {0, 0, 10, 0, 10, 10}},
      {"EL\n0,0\n10,0\n3\n", {5, 3, 0}, "\n指定另一条半轴长度: ", K::ellipse, {5, 0, 5, 0, 0.6, 0, 2 * kPi}},
      {"EL\nC\n0,0\n0,2\n4\n", {4, 0, 0}, "\n指定另一条半轴长度: ", K::ellipse, {0, 0, -4, 0, 0.5, 0, 2 * kPi}},
      {"AA\n0,0\n10,0\n\n", {10, 10, 0}, "\n指定下一个点或 [放弃(U)] <总计>: ", K::polyline, {0, 0, 10, 0, 10, 10}},
  };
  for (const Case& c : cases) {
    PreviewProbe probe(c.script, c.cursor);
    app::Session session(probe);
    probe.session = &session;
    session.run();
    ASSERT_EQ(probe.shown.count(c.prompt), 1u) << c.script;
    const auto& shown = probe.shown[c.prompt];
    ASSERT_EQ(shown.size(), 1u) << c.script;
    EXPECT_EQ(shown[0].kind(), c.kind) << c.script;
    EXPECT_EQ(shown[0].layer, session.database().intern("0")) << c.script;
    const std::vector<double> got = numbers(shown[0]);
    ASSERT_EQ(got.size(), c.want.size()) << c.script;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.want[i], 1e-9) << c.script << " number " << i;
    EXPECT_FALSE(session.dragPreview()) << c.script << ": the preview ends with its prompt";
  }
}

}  // namespace
