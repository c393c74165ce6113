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
#include "orv/core/snaps.h"
#include "orv/core/spatial_index.h"
#include "orv/render/pictures.h"
#include "view_painter.h"

namespace {

using namespace orv;

constexpr int kWidth = 1600, kHeight = 1000;

const render::Pictures kPictures{&render::render, &render::storeBlockIcons, &render::drawView,
                                 &render::modelExtents, &render::ViewTransform::fit};

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

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
