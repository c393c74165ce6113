// Micro-benchmarks of the drawing window on the 100k-unit plan held in memory, with the
// real DrawingView in a 1600 × 1000 view under Qt's offscreen platform: a full redraw
// of the whole plan and of a hundredth of its width, the first frame after a pan or a
// wheel step, and a mouse move at a point prompt with its rubber band and snap marker.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include <cstdlib>
#include <random>

#include "bench_plan.h"
#include "drawing_view.h"
#include "orv/core/editor.h"
#include "orv/core/grips.h"
#include "orv/core/selection.h"
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"
#include "orv/render/pictures.h"
#include "view_painter.h"

namespace {

using namespace orv;

constexpr int kWidth = 1600, kHeight = 1000;

const render::Pictures kPictures{&render::render, &render::storeBlockIcons, &render::drawView,
                                 &render::modelExtents, &render::ViewTransform::fit, nullptr, &render::drawEntities,
                                 nullptr};

core::SpatialIndex& index() {
  static core::SpatialIndex idx(bench::plan());
  static const bool built = !idx.all().empty();
  (void)built;
  return idx;
}

// The view as the window sets it up: the plan's database, snaps and picks through the
// index, the view's visible entities from it.
window::DrawingView& view() {
  static window::DrawingView* v = [] {
    window::usePictures(&kPictures);
    auto* w = new window::DrawingView;
    static core::Snapper snapper(index(), [] { return 1.0; });
    w->snapAt = [](db::Point2 at, double within) -> std::optional<window::Snap> {
      const auto found = snapper.candidates({at.x, at.y}, within, core::DraftingSettings::kDefaultSnaps);
      if (found.empty()) return std::nullopt;
      return window::Snap{{found.front().point.x, found.front().point.y},
                          static_cast<window::SnapKind>(found.front().kind)};
    };
    w->entitiesIn = [](const render::Extents& box) -> std::optional<std::vector<db::ObjectId>> {
      return index().query(core::Box2{box.minX, box.minY, box.maxX, box.maxY}, false);
    };
    w->resize(kWidth, kHeight);
    w->setDatabase(&bench::plan().database());
    w->show();
    QApplication::processEvents();
    return w;
  }();
  return *v;
}

// The whole plan, or a `zoom`-th of its width about its centre.
void showPlan(window::DrawingView& v, int zoom) {
  v.zoomExtents();
  const double kPlanWidth = bench::kPlanColumns * bench::kPlanPitch;
  if (zoom > 1) v.zoomAbout(QPointF(kWidth / 2.0, kHeight / 2.0), kWidth * zoom / kPlanWidth / v.transform().scale);
}

// Lets the drawing that a step started finish, outside the timing.
void settle(window::DrawingView& v) {
  v.quiesce();
  for (int i = 0; i < 100 && !v.drawingCurrent(); ++i) {
    QApplication::processEvents();
    v.quiesce();
  }
}

void BM_FullRedraw(benchmark::State& state) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  for (auto _ : state) v.renderNow();
  // ORV_VIEW_BENCH_PICTURES=DIR keeps what was drawn, to look at.
  if (const char* dir = std::getenv("ORV_VIEW_BENCH_PICTURES"))
    v.cachedImage().save(QString("%1/full-redraw-%2.png").arg(dir).arg(state.range(0)));
  settle(v);
}
BENCHMARK(BM_FullRedraw)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// A pan of a few pixels or a wheel step, and the frame painted at once.
void firstFrame(benchmark::State& state, bool wheel) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  v.renderNow();
  int k = 0;
  for (auto _ : state) {
    ++k;
    if (wheel)
      v.zoomAbout(QPointF(700, 400), k % 2 ? 1.25 : 0.8);
    else
      v.panBy(QPointF(k % 2 ? 17 : -17, 9));
    v.repaint();
    state.PauseTiming();
    settle(v);
    state.ResumeTiming();
  }
}
void BM_PanFirstFrame(benchmark::State& state) { firstFrame(state, false); }
void BM_WheelFirstFrame(benchmark::State& state) { firstFrame(state, true); }
BENCHMARK(BM_PanFirstFrame)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WheelFirstFrame)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// The mouse moving at a point prompt with a base point: the rubber band, the crosshair
// and the nearest snap marker, frame by frame.
void BM_MouseMoveAtPointPrompt(benchmark::State& state) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  prompt::AskOptions ask;
  ask.kind = prompt::AskKind::point;
  const db::Point2 base = v.transform().toDrawing({400, 300});
  ask.basePoint = prompt::Point3{base.x, base.y, 0};
  v.setPrompt(ask);
  v.renderNow();
  std::mt19937 random(3);
  std::uniform_real_distribution<double> x(100, kWidth - 100), y(100, kHeight - 100);
  for (auto _ : state) {
    const QPointF at(x(random), y(random));
    QMouseEvent e(QEvent::MouseMove, at, v.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&v, &e);
    v.repaint();
  }
  v.setPrompt(std::nullopt);
}
BENCHMARK(BM_MouseMoveAtPointPrompt)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- selection and drag previews, as the window's selection tools do them

// The selection the view shows, kept here as the session's selector keeps it.
core::SelectionSet& shownSet() {
  static core::SelectionSet set;
  return set;
}
std::uint64_t shownRevision = 0;
bool shownEverything = false;

void showSelection(window::DrawingView& v) {
  v.shownSelection = [] {
    return window::DrawingView::ShownSelection{&shownSet().ids(), shownRevision, shownEverything};
  };
}

void setSelection(window::DrawingView& v, core::SelectionSet set) {
  shownSet() = std::move(set);
  ++shownRevision;
  std::vector<db::Point2> grips;
  const db::Database& d = bench::plan().database();
  if (shownSet().size() <= 100)
    for (db::ObjectId id : shownSet().ids())
      for (const core::Grip& g : core::gripPoints(d, *d.entity(id))) grips.push_back({g.point.x, g.point.y});
  v.setGrips(std::move(grips));
  v.selectionChanged();
}

// A click on an entity at the command prompt: the pick, the selection with its grips,
// and the frame that shows them.
void BM_ClickSelectAtCommandPrompt(benchmark::State& state) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  showSelection(v);
  v.entityAt = [](db::Point2 at, double within) -> std::optional<db::ObjectId> {
    const db::ObjectId id = index().pick({at.x, at.y}, within);
    if (id.isNull()) return std::nullopt;
    return id;
  };
  auto connection = QObject::connect(&v, &window::DrawingView::entityClicked, [&v](db::ObjectId id, bool) {
    core::SelectionSet set;
    set.add(id);
    setSelection(v, std::move(set));
  });
  prompt::AskOptions ask;
  ask.kind = prompt::AskKind::command;
  v.setPrompt(ask);
  v.renderNow();
  // Points on the plan's lines in view: a unit's corner near the centre, and its leg.
  const db::Point2 centre = v.transform().toDrawing({kWidth / 2.0, kHeight / 2.0});
  std::vector<QPointF> onLines;
  const int stride = state.range(0) > 1 ? 1 : 97;
  for (int i = 0; i < bench::kPlanUnits && onLines.size() < 64; i += stride) {
    const db::Point2 d = v.transform().toDevice({bench::unitX(i) + bench::kPlanLeg / 2, bench::unitY(i)});
    if (d.x > 10 && d.y > 10 && d.x < kWidth - 10 && d.y < kHeight - 10) onLines.push_back({d.x, d.y});
  }
  (void)centre;
  if (onLines.empty()) {
    state.SkipWithError("no line in view");
    return;
  }
  std::size_t k = 0, hits = 0;
  for (auto _ : state) {
    const QPointF at = onLines[k++ % onLines.size()];
    QMouseEvent press(QEvent::MouseButtonPress, at, v.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&v, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, v.mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&v, &release);
    v.repaint();
    hits += shownSet().size();
  }
  state.counters["selected"] = static_cast<double>(hits) / static_cast<double>(std::max<std::size_t>(k, 1));
  QObject::disconnect(connection);
  v.cancelIdleBox();
  setSelection(v, {});
  v.setPrompt(std::nullopt);
}
BENCHMARK(BM_ClickSelectAtCommandPrompt)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// Ctrl+A on the whole plan: every entity selected and the frame that shows it highlighted.
void BM_SelectAllHighlighted(benchmark::State& state) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  showSelection(v);
  v.renderNow();
  for (auto _ : state) {
    core::SelectionSet all;
    for (db::ObjectId id : index().all()) all.add(id);
    shownEverything = true;  // as the window's Ctrl+A says
    setSelection(v, std::move(all));
    v.repaint();
    state.PauseTiming();
    shownEverything = false;
    setSelection(v, {});
    v.repaint();
    state.ResumeTiming();
  }
  state.counters["entities"] = static_cast<double>(index().all().size());
  if (const char* dir = std::getenv("ORV_VIEW_BENCH_PICTURES")) {
    core::SelectionSet all;
    for (db::ObjectId id : index().all()) all.add(id);
    shownEverything = true;
    setSelection(v, std::move(all));
    v.grab().save(QString("%1/select-all-%2.png").arg(dir).arg(state.range(0)));
  }
  shownEverything = false;
  setSelection(v, {});
}
BENCHMARK(BM_SelectAllHighlighted)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// MOVE's second point: 1,000 selected entities following the mouse, frame by frame.
void BM_DragPreviewOf1000(benchmark::State& state) {
  auto& v = view();
  showPlan(v, static_cast<int>(state.range(0)));
  const db::Point2 a = v.transform().toDrawing({0, kHeight}), b = v.transform().toDrawing({kWidth, 0});
  core::SelectionSet set;
  for (db::ObjectId id : index().query(core::Box2{a.x, a.y, b.x, b.y})) {
    if (set.size() == 1000) break;
    set.add(id);
  }
  const db::Point2 base = v.transform().toDrawing({kWidth / 2.0, kHeight / 2.0});
  core::Editor editor(bench::plan().database(), index());
  v.previewAt = [&](db::Point2 at) {
    return editor.preview(set, core::Affine2::translation({at.x - base.x, at.y - base.y}));
  };
  prompt::AskOptions ask;
  ask.kind = prompt::AskKind::point;
  ask.basePoint = prompt::Point3{base.x, base.y, 0};
  v.setPrompt(ask);
  v.renderNow();
  std::mt19937 random(5);
  std::uniform_real_distribution<double> x(100, kWidth - 100), y(100, kHeight - 100);
  std::size_t shown = 0, frames = 0;
  for (auto _ : state) {
    const QPointF at(x(random), y(random));
    QMouseEvent e(QEvent::MouseMove, at, v.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&v, &e);
    v.repaint();
    shown += v.previewShown();
    ++frames;
  }
  state.counters["previewed"] = static_cast<double>(shown) / static_cast<double>(std::max<std::size_t>(frames, 1));
  if (const char* dir = std::getenv("ORV_VIEW_BENCH_PICTURES"))
    v.grab().save(QString("%1/drag-preview-%2.png").arg(dir).arg(state.range(0)));
  v.previewAt = nullptr;
  v.setPrompt(std::nullopt);
}
BENCHMARK(BM_DragPreviewOf1000)->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
