// The drawing view: cached drawing, background drawing on two threads, zoom and pan,
// and the overlays that follow the mouse.
#include "drawing_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "orv/db/cores.h"

namespace orv::window {

namespace {

// A new drawing shows this much of the plane until it has something to fit.
constexpr render::Extents kEmptyView{0.0, 0.0, 420.0, 297.0};
constexpr double kFitMargin = 20.0;
constexpr double kWheelStep = 1.25;
// Drawings that take less than this are drawn in the painting thread at once (a frame
// then takes no longer than a screen's 16 ms).
constexpr double kDrawAtOnceMs = 10.0;
constexpr double kMinScale = 1e-9, kMaxScale = 1e9;

bool same(const ViewTransform& a, const ViewTransform& b) {
  return a.scale == b.scale && a.offsetX == b.offsetX && a.offsetY == b.offsetY;
}

QColor rgb(std::uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }

QPointF toQ(db::Point2 p) { return {p.x, p.y}; }

// For benchmarks only (bench/run.py times how long a window takes to show a drawing):
// with ORV_BENCH_FIRST_FRAME=WIDTHxHEIGHT in the environment, the view is given that
// size, and the first frame that shows the drawing complete writes "first frame" to
// standard error and ends the program at once (an empty drawing never ends it). Unset, as for every user, it does nothing.
struct FirstFrameHook {
  bool on = false;
  int width = 0, height = 0;
  FirstFrameHook() {
    const char* v = std::getenv("ORV_BENCH_FIRST_FRAME");
    on = v && std::sscanf(v, "%dx%d", &width, &height) == 2 && width > 0 && height > 0;
  }
};

const FirstFrameHook& firstFrameHook() {
  static const FirstFrameHook hook;
  return hook;
}


}  // namespace

QString snapName(SnapKind kind) {
  switch (kind) {
    case SnapKind::endpoint: return QStringLiteral("端点");
    case SnapKind::midpoint: return QStringLiteral("中点");
    case SnapKind::center: return QStringLiteral("圆心");
    case SnapKind::intersection: return QStringLiteral("交点");
    case SnapKind::perpendicular: return QStringLiteral("垂足");
    case SnapKind::nearest: return QStringLiteral("最近点");
    case SnapKind::quadrant: return QStringLiteral("象限点");
    case SnapKind::insertion: return QStringLiteral("插入点");
  }
  return {};
}

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
  pool_.setMaxThreadCount(2);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
}

DrawingView::~DrawingView() { pool_.waitForDone(); }

void DrawingView::setDatabase(const db::Database* database) {
  quiesce();
  db_ = database;
  extentsSeen_.reset();
  transformSet_ = false;
  viewMoved_ = false;
  hovered_.reset();
  highlightOf_.reset();
  drawingChanged();
  zoomExtents();
}

void DrawingView::drawingChanged() {
  ++generation_;
  extents_.reset();
  cacheCurrent_ = false;
  highlightOf_.reset();
  selectionCurrent_ = false;
  update();
}

// ---- selection, grips and previews

void DrawingView::selectionChanged() {
  selectionCurrent_ = false;
  update();
}

void DrawingView::setGrips(std::vector<db::Point2> grips, std::optional<std::size_t> hot) {
  grips_ = std::move(grips);
  hotGrip_ = hot && *hot < grips_.size() ? hot : std::nullopt;
  update();
}

std::optional<std::size_t> DrawingView::gripAt(QPointF device) const {
  std::optional<std::size_t> best;
  double bestDistance = kPickBox + 0.5;
  for (std::size_t i = 0; i < grips_.size(); ++i) {
    const db::Point2 g = transform_.toDevice(grips_[i]);
    const double d = std::max(std::abs(g.x - device.x()), std::abs(g.y - device.y()));
    if (d <= bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

void DrawingView::cancelIdleBox() {
  idleBox_.reset();
  update();
}

void DrawingView::quiesce() { pool_.waitForDone(); }

void DrawingView::setPrompt(const std::optional<prompt::AskOptions>& options) {
  prompt_ = options;
  if (!atCommandPrompt()) idleBox_.reset();
  selectionCurrent_ = false;  // a prompt may begin or end a selection
  snap_.reset();
  hovered_.reset();
  updateCursorShape();
  updateHover();
  update();
}

// ---- the view

void DrawingView::moveView(const ViewTransform& t) {
  viewMoved_ = true;
  setTransform(t);
}

void DrawingView::setTransform(const ViewTransform& t) {
  if (!(t.scale >= kMinScale && t.scale <= kMaxScale) || !std::isfinite(t.offsetX) || !std::isfinite(t.offsetY))
    return;
  transform_ = t;
  transformSet_ = true;
  ++generation_;
  updateHover();
  update();
  emit viewChanged();
}

void DrawingView::zoomExtents() {
  viewMoved_ = false;
  std::optional<render::Extents> box = extents();
  setTransform(fitView(box ? *box : kEmptyView, std::max(width(), 1), std::max(height(), 1), kFitMargin));
}

void DrawingView::zoomAbout(QPointF anchor, double factor) {
  if (!(factor > 0.0) || !std::isfinite(factor)) return;
  const db::Point2 fixed = transform_.toDrawing({anchor.x(), anchor.y()});
  ViewTransform t = transform_;
  t.scale = std::clamp(t.scale * factor, kMinScale, kMaxScale);
  t.offsetX = anchor.x() - t.scale * fixed.x;
  t.offsetY = anchor.y() + t.scale * fixed.y;
  moveView(t);
}

void DrawingView::panBy(QPointF delta) {
  ViewTransform t = transform_;
  t.offsetX += delta.x();
  t.offsetY += delta.y();
  moveView(t);
}

// ---- modes

void DrawingView::setDark(bool dark) {
  if (dark_ == dark) return;
  dark_ = dark;
  drawingChanged();
}

void DrawingView::setSnapOn(bool on) {
  snapOn_ = on;
  updateHover();
  update();
}

void DrawingView::setOrthoOn(bool on) {
  orthoOn_ = on;
  update();
}

void DrawingView::setGridOn(bool on) {
  gridOn_ = on;
  update();
}

// ---- points

std::optional<db::Point2> DrawingView::cursorPoint() const {
  if (!cursor_) return std::nullopt;
  return transform_.toDrawing({cursor_->x(), cursor_->y()});
}

db::Point2 roundToPixel(db::Point2 p, double scale) {
  if (!(scale > 0.0) || !std::isfinite(scale)) return p;
  // The coarsest power of ten that is at most a tenth of a pixel: 10^-decimals.
  const int decimals = static_cast<int>(std::ceil(std::log10(scale * 10.0)));
  auto round = [decimals](double v) {
    if (decimals < 0) {
      const double step = std::pow(10.0, -decimals);
      const double r = std::round(v / step) * step;
      return std::isfinite(r) ? r + 0.0 : v;
    }
    // Through the decimal text, so that the value is the one that text reads as.
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, std::min(decimals, 17));
    double r = v;
    if (written.ec == std::errc()) std::from_chars(buffer, written.ptr, r);
    return r + 0.0;
  };
  return {round(p.x), round(p.y)};
}

std::optional<db::Point2> DrawingView::effectivePoint() const {
  std::optional<db::Point2> p = cursorPoint();
  if (!p) return p;
  if (snap_) return snap_->point;
  if (hovered_ && nearestPoint && prompt_ && !prompt_->boxFromBase &&
      (prompt_->kind == prompt::AskKind::pick || prompt_->kind == prompt::AskKind::select)) {
    if (const auto on = nearestPoint(*p, pixelsToDrawing(kPickBox))) return on;
  }
  p = roundToPixel(*p, transform_.scale);
  if (orthoOn_ && prompt_ && prompt_->kind == prompt::AskKind::point && prompt_->basePoint &&
      !prompt_->boxFromBase) {
    const db::Point2 base{prompt_->basePoint->x, prompt_->basePoint->y};
    if (std::abs(p->x - base.x) >= std::abs(p->y - base.y))
      p->y = base.y;
    else
      p->x = base.x;
  }
  return p;
}

void DrawingView::updateHover() {
  snap_.reset();
  std::optional<db::ObjectId> hovered;
  const std::optional<db::Point2> at = cursorPoint();
  if (at && prompt_ && db_) {
    // At the command prompt too: what a click there would select.
    const bool picking = (prompt_->kind == prompt::AskKind::pick || prompt_->kind == prompt::AskKind::select ||
                          (prompt_->kind == prompt::AskKind::command && !idleBox_)) &&
                         !prompt_->boxFromBase;
    if (picking && entityAt) hovered = entityAt(*at, pixelsToDrawing(kPickBox));
    if (prompt_->kind == prompt::AskKind::point && snapOn_ && snapAt)
      snap_ = snapAt(*at, pixelsToDrawing(kSnapAperture));
  }
  hovered_ = hovered;
}

void DrawingView::updateCursorShape() {
  if (panFrom_) {
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  const bool drawn = prompt_ && (prompt_->kind == prompt::AskKind::point || prompt_->kind == prompt::AskKind::pick ||
                                 prompt_->kind == prompt::AskKind::select);
  setCursor(drawn ? Qt::BlankCursor : Qt::ArrowCursor);
}

// ---- drawing the image

PaintOptions DrawingView::paintOptions() const {
  PaintOptions o;
  o.dark = dark_;
  o.thinLineWidth = devicePixelRatioF();
  return o;
}

ViewTransform DrawingView::deviceTransform(const ViewTransform& t) const {
  const double r = devicePixelRatioF();
  ViewTransform d = t;
  d.scale *= r;
  d.offsetX *= r;
  d.offsetY *= r;
  return d;
}

std::optional<render::Extents> DrawingView::extents() {
  if (!db_) return std::nullopt;
  if (!extents_) {
    extents_ = drawingExtents(*db_);
    extentsSeen_ = *extents_;
  }
  return *extents_;
}

std::shared_ptr<const std::vector<db::ObjectId>> DrawingView::visibleEntities(const ViewTransform& t) {
  // Walking the whole drawing costs little against drawing most of it; an index pays
  // once the view shows less than a quarter of it.
  constexpr double kMostOfIt = 0.25;
  constexpr double kMarginPx = 32.0;  // for widths, and glyphs beyond their entity's box
  // The drawing's extents as last measured: a change rarely moves them much, and
  // measuring them again for this would cost as much as walking the drawing.
  if (!entitiesIn) return nullptr;
  const std::optional<render::Extents> all = extentsSeen_ ? extentsSeen_ : extents();
  if (!all) return nullptr;
  const db::Point2 a = t.toDrawing({-kMarginPx, height() + kMarginPx});
  const db::Point2 b = t.toDrawing({width() + kMarginPx, -kMarginPx});
  const double w = std::min(b.x, all->maxX) - std::max(a.x, all->minX);
  const double h = std::min(b.y, all->maxY) - std::max(a.y, all->minY);
  const double area = (all->maxX - all->minX) * (all->maxY - all->minY);
  if (!(area > 0.0) || (w > 0.0 && h > 0.0 && w * h > kMostOfIt * area)) return nullptr;
  std::optional<std::vector<db::ObjectId>> ids = entitiesIn(render::Extents{a.x, a.y, b.x, b.y});
  if (!ids) return nullptr;
  return std::make_shared<const std::vector<db::ObjectId>>(std::move(*ids));
}

bool DrawingView::drawingCurrent() const {
  return cacheCurrent_ && same(cacheTransform_, transform_) && cache_.size() == size() * devicePixelRatioF();
}

// A view of the whole of a large drawing: the two halves of model space's list, the
// second drawn into an overlay laid over the first (the same picture, drawn in the same
// order). Else in bands of rows when a second core is free: each band looks at every
// entity it is given to find those in its rows, so two bands taking turns on one core
// cost more than the whole at once.
std::vector<DrawingView::RenderPart> DrawingView::renderParts(const QSize& size, bool wholeDrawing) const {
  const int w = size.width(), h = size.height();
  const QRect all(0, 0, w, h);
  const std::size_t n = db_ ? db_->block(db_->modelSpace()).entities.size() : 0;
  if (wholeDrawing && n >= drawnInPartsFrom && n >= 2)
    return {RenderPart{all, 0, n / 2, false}, RenderPart{all, n / 2, static_cast<std::size_t>(-1), true}};
  if (!(drawInHalves ? drawInHalves() : db::aSecondCoreIsFree())) return {RenderPart{all}};
  return {RenderPart{QRect(0, 0, w, h / 2)}, RenderPart{QRect(0, h / 2, w, h - h / 2)}};
}

void DrawingView::paintPart(QImage& image, QImage* overlay, const RenderPart& part, const db::Database& db,
                            const ViewTransform& device, PaintOptions options) {
  options.from = part.from;
  options.to = part.to;
  paintDrawing(part.overlay && overlay ? *overlay : image, part.rows, db, device, options);
}

QImage DrawingView::frameImage() {
  const double r = devicePixelRatioF();
  QImage image(size() * r, QImage::Format_RGB32);
  image.setDevicePixelRatio(r);
  // The renderer paints the background of every part it draws.
  if (!db_ || !pictures()) image.fill(rgb(backgroundColor(dark_)));
  return image;
}

namespace {

// An image to draw a part into, transparent, laid over the view's image afterwards.
std::unique_ptr<QImage> overlayFor(const QImage& image, bool wanted) {
  if (!wanted) return nullptr;
  auto overlay = std::make_unique<QImage>(image.size(), QImage::Format_ARGB32_Premultiplied);
  overlay->setDevicePixelRatio(image.devicePixelRatio());
  overlay->fill(Qt::transparent);
  return overlay;
}

void layOver(QImage& image, const QImage* overlay) {
  if (!overlay) return;
  QPainter p(&image);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.drawImage(QPoint(0, 0), *overlay);
}

}  // namespace

// The parts at once: the first in this thread, the others in the pool.
void DrawingView::renderNow() {
  quiesce();
  if (!transformSet_) zoomExtents();
  QImage image = frameImage();
  const auto start = std::chrono::steady_clock::now();
  if (db_) {
    const ViewTransform device = deviceTransform(transform_);
    const auto visible = visibleEntities(transform_);
    PaintOptions options = paintOptions();
    options.entities = visible.get();
    const std::vector<RenderPart> parts = renderParts(image.size(), !visible);
    const std::unique_ptr<QImage> overlay = overlayFor(image, parts.back().overlay);
    const db::Database* db = db_;
    QImage* over = overlay.get();
    for (std::size_t i = 1; i < parts.size(); ++i)
      pool_.start([&image, over, part = parts[i], db, device, options] { paintPart(image, over, part, *db, device, options); });
    paintPart(image, over, parts.front(), *db_, device, options);
    pool_.waitForDone();
    layOver(image, over);
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  renderDone(generation_, image, transform_, ms);
}

void DrawingView::startRender() {
  if (rendering_ || !db_) return;
  rendering_ = true;
  const std::uint64_t generation = generation_;
  const ViewTransform t = transform_;
  const ViewTransform device = deviceTransform(t);
  const auto visible = visibleEntities(t);
  PaintOptions options = paintOptions();
  options.entities = visible.get();
  auto image = std::make_shared<QImage>(frameImage());
  const auto start = std::chrono::steady_clock::now();
  const std::vector<RenderPart> parts = renderParts(image->size(), !visible);
  std::shared_ptr<QImage> overlay = overlayFor(*image, parts.back().overlay);
  auto left = std::make_shared<std::atomic<int>>(static_cast<int>(parts.size()));
  const db::Database* db = db_;
  for (const RenderPart& part : parts) {
    pool_.start([this, image, overlay, part, db, device, options, visible, left, generation, t, start] {
      paintPart(*image, overlay.get(), part, *db, device, options);
      if (left->fetch_sub(1) != 1) return;
      layOver(*image, overlay.get());
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      QMetaObject::invokeMethod(
          this,
          [this, image, generation, t, ms] {
            rendering_ = false;
            renderDone(generation, *image, t, ms);
          },
          Qt::QueuedConnection);
    });
  }
}

void DrawingView::renderDone(std::uint64_t generation, const QImage& image, const ViewTransform& t, double ms) {
  lastRenderMs_ = ms;
  if (generation == generation_ && image.size() == size() * devicePixelRatioF()) {
    cache_ = image;
    cacheTransform_ = t;
    cacheCurrent_ = true;
  }
  update();
}

// ---- painting

void DrawingView::paintEvent(QPaintEvent*) {
  const FirstFrameHook& hook = firstFrameHook();
  if (hook.on && size() != QSize(hook.width, hook.height)) {
    window()->resize(window()->size() + QSize(hook.width, hook.height) - size());
    return;
  }
  if (!transformSet_) zoomExtents();
  if (!drawingCurrent() && !rendering_) {
    if (lastRenderMs_ < kDrawAtOnceMs || cache_.isNull())
      renderNow();
    else
      startRender();
  }
  QPainter p(this);
  const QColor background = rgb(backgroundColor(dark_));
  if (same(cacheTransform_, transform_) && !cache_.isNull()) {
    p.drawImage(0, 0, cache_);
  } else {
    p.fillRect(rect(), background);
    if (!cache_.isNull()) {
      // The old image moved and scaled to where the new one will be.
      const double a = transform_.scale / cacheTransform_.scale;
      p.save();
      p.setTransform(QTransform(a, 0, 0, a, transform_.offsetX - a * cacheTransform_.offsetX,
                                transform_.offsetY - a * cacheTransform_.offsetY));
      p.drawImage(0, 0, cache_);
      p.restore();
    }
  }
  if (gridOn_) paintGrid(p);
  paintSelection(p);
  paintHighlight(p);
  paintPreview(p);
  paintGrips(p);
  paintOverlay(p);
  if (hook.on && db_ && !db_->block(db_->modelSpace()).entities.empty() && drawingCurrent()) {
    p.end();
    std::fputs("first frame\n", stderr);
    std::fflush(stderr);
    std::_Exit(0);
  }
}

void DrawingView::paintGrid(QPainter& p) {
  double step = 1.0;
  const double minPx = 12.0;
  while (step * transform_.scale < minPx) step *= 10.0;
  while (step * transform_.scale >= minPx * 10.0) step /= 10.0;
  const db::Point2 a = transform_.toDrawing({0, static_cast<double>(height())});
  const db::Point2 b = transform_.toDrawing({static_cast<double>(width()), 0});
  const double x0 = std::floor(a.x / step) * step, y0 = std::floor(a.y / step) * step;
  if ((b.x - x0) / step * (b.y - y0) / step > 40000) return;
  p.setPen(QPen(dark_ ? QColor(90, 90, 90) : QColor(170, 170, 170), 1));
  // Under the drawing: a dot only where the drawing's image shows the background.
  const bool under = same(cacheTransform_, transform_) && !cache_.isNull();
  const QRgb background = 0xFF000000u | backgroundColor(dark_);
  const double ratio = cache_.devicePixelRatio();
  for (double x = x0; x <= b.x; x += step)
    for (double y = y0; y <= b.y; y += step) {
      const QPointF d = toQ(transform_.toDevice({x, y}));
      const QPoint at(qRound(d.x()), qRound(d.y()));
      const QPoint pixel(qRound(at.x() * ratio), qRound(at.y() * ratio));
      if (under && cache_.valid(pixel) && cache_.pixel(pixel) != background) continue;
      p.drawPoint(at);
    }
}

// An overlay image of the view's size in device pixels (kept when it is that already).
void DrawingView::fitToView(QImage& image) const {
  const double r = devicePixelRatioF();
  if (image.size() == size() * r) return;
  image = QImage(size() * r, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(r);
}

void DrawingView::paintHighlight(QPainter& p) {
  if (!hovered_ || !db_) return;
  if (highlightOf_ != hovered_ || !same(highlightTransform_, transform_) || highlight_.size() != size() * devicePixelRatioF()) {
    fitToView(highlight_);
    highlight_.fill(Qt::transparent);
    const std::vector<db::ObjectId> ids{*hovered_};
    PaintOptions o = paintOptions();
    o.entities = &ids;
    o.highlight = true;
    paintDrawing(highlight_, highlight_.rect(), *db_, deviceTransform(transform_), o);
    highlightOf_ = hovered_;
    highlightTransform_ = transform_;
  }
  p.drawImage(0, 0, highlight_);
}

// The shown selection, dashed in the highlight colour, drawn again only when it, the
// drawing or the view changed.
void DrawingView::paintSelection(QPainter& p) {
  const ShownSelection shown = shownSelection && db_ ? shownSelection() : ShownSelection{};
  if (!shown.ids || shown.ids->empty()) return;
  const bool same_ = selectionCurrent_ && selectionOf_ == shown.ids && selectionRevision_ == shown.revision &&
                     selectionSize_ == shown.ids->size() && selectionGeneration_ == generation_ &&
                     same(selectionTransform_, transform_) && selection_.size() == size() * devicePixelRatioF();
  // What the image now shows, so that the next frame need not draw it again.
  auto remember = [&] {
    selectionOf_ = shown.ids;
    selectionRevision_ = shown.revision;
    selectionSize_ = shown.ids->size();
    selectionGeneration_ = generation_;
    selectionTransform_ = transform_;
    selectionCurrent_ = true;
  };
  if (!same_ && shown.everything) {
    // The drawing's image recoloured: its pixels in the highlight colour, dashed by
    // stripes across the view. Until the image shows the drawing as it is, nothing.
    if (!drawingCurrent()) return;
    fitToView(selection_);
    const QRgb bg = backgroundColor(dark_) & 0xFFFFFFu;
    const QRgb ink = 0xFF000000u | highlightRgb(dark_);
    const int w = std::min(cache_.width(), selection_.width()), h = std::min(cache_.height(), selection_.height());
    selection_.fill(Qt::transparent);
    for (int y = 0; y < h; ++y) {
      const QRgb* from = reinterpret_cast<const QRgb*>(cache_.constScanLine(y));
      QRgb* to = reinterpret_cast<QRgb*>(selection_.scanLine(y));
      for (int x = 0; x < w; ++x)
        if ((from[x] & 0xFFFFFFu) != bg && ((x + y) >> 2 & 1) == 0) to[x] = ink;
    }
    remember();
  } else if (!same_) {
    fitToView(selection_);
    selection_.fill(Qt::transparent);
    PaintOptions o = paintOptions();
    o.entities = shown.ids;
    o.highlight = true;
    o.dashedHighlight = true;
    // Two halves at once, as the drawing is drawn.
    const ViewTransform device = deviceTransform(transform_);
    const int h = selection_.height();
    const QRect lower(0, h / 2, selection_.width(), h - h / 2);
    QImage* image = &selection_;
    const db::Database* db = db_;
    quiesce();
    pool_.start([image, lower, db, device, o] { paintDrawing(*image, lower, *db, device, o); });
    paintDrawing(selection_, QRect(0, 0, selection_.width(), h / 2), *db_, device, o);
    pool_.waitForDone();
    remember();
  }
  p.drawImage(0, 0, selection_);
}

// What the waiting command would make or move at the point a click would give now.
void DrawingView::paintPreview(QPainter& p) {
  previewShown_ = 0;
  if (!db_ || panFrom_ || !prompt_) return;
  std::vector<db::Entity> entities;
  if (prompt_->kind == prompt::AskKind::text) {
    if (typedPreview) entities = typedPreview();
  } else {
    if (!previewAt || !cursor_ || prompt_->kind != prompt::AskKind::point) return;
    const std::optional<db::Point2> at = effectivePoint();
    if (!at) return;
    entities = previewAt(*at);
  }
  if (entities.empty()) return;
  fitToView(preview_);
  preview_.fill(Qt::transparent);
  PaintOptions o = paintOptions();
  paintEntities(preview_, *db_, entities, deviceTransform(transform_), o);
  p.drawImage(0, 0, preview_);
  previewShown_ = entities.size();
}

// Blue squares at the grips, the hot one red.
void DrawingView::paintGrips(QPainter& p) {
  if (grips_.empty()) return;
  constexpr double half = 4.0;
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(10, 20, 90), 1));
  for (std::size_t i = 0; i < grips_.size(); ++i) {
    const db::Point2 g = transform_.toDevice(grips_[i]);
    if (g.x < -half || g.y < -half || g.x > width() + half || g.y > height() + half) continue;
    p.setBrush(hotGrip_ == i ? QColor(230, 30, 30) : QColor(40, 110, 255));
    p.drawRect(QRectF(g.x - half, g.y - half, 2 * half, 2 * half));
  }
  p.setBrush(Qt::NoBrush);
}

void DrawingView::paintOverlay(QPainter& p) {
  if (!cursor_ || panFrom_ || !prompt_) return;
  const QColor ink = dark_ ? Qt::white : Qt::black;
  const QPointF c = *cursor_;
  const auto kind = prompt_->kind;
  p.setRenderHint(QPainter::Antialiasing, false);

  // A box begun at the command prompt.
  if (idleBox_ && kind == prompt::AskKind::command) {
    const QPointF from = toQ(transform_.toDevice(*idleBox_));
    const bool crossing = c.x() < from.x();
    const QColor edge = crossing ? QColor(80, 200, 80) : QColor(80, 140, 255);
    QColor fill = edge;
    fill.setAlpha(40);
    p.setPen(QPen(edge, 1, crossing ? Qt::DashLine : Qt::SolidLine));
    p.setBrush(fill);
    p.drawRect(QRectF(from, c).normalized());
    p.setBrush(Qt::NoBrush);
  }

  // Rubber band or rectangle from the base point.
  if (prompt_->basePoint) {
    const QPointF base = toQ(transform_.toDevice({prompt_->basePoint->x, prompt_->basePoint->y}));
    if (prompt_->boxFromBase) {
      const bool crossing = c.x() < base.x();
      const QColor edge = crossing ? QColor(80, 200, 80) : QColor(80, 140, 255);
      QColor fill = edge;
      fill.setAlpha(40);
      QPen pen(edge, 1, crossing ? Qt::DashLine : Qt::SolidLine);
      p.setPen(pen);
      p.setBrush(fill);
      p.drawRect(QRectF(base, c).normalized());
      p.setBrush(Qt::NoBrush);
    } else if (kind == prompt::AskKind::point) {
      const std::optional<db::Point2> to = effectivePoint();
      p.setPen(QPen(ink, 1));
      if (to) p.drawLine(base, toQ(transform_.toDevice(*to)));
    }
  }

  p.setPen(QPen(ink, 1));
  const bool crosshair = kind == prompt::AskKind::point || (kind == prompt::AskKind::pick && prompt_->boxFromBase);
  if (crosshair) {
    p.drawLine(QPointF(0, c.y()), QPointF(width(), c.y()));
    p.drawLine(QPointF(c.x(), 0), QPointF(c.x(), height()));
  }
  if ((kind == prompt::AskKind::pick || kind == prompt::AskKind::select) && !prompt_->boxFromBase)
    p.drawRect(QRectF(c.x() - kPickBox, c.y() - kPickBox, 2 * kPickBox, 2 * kPickBox));

  if (snap_) {
    const QPointF m = toQ(transform_.toDevice(snap_->point));
    const double r = 6.0;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(255, 200, 0), 2));
    switch (snap_->kind) {
      case SnapKind::endpoint: p.drawRect(QRectF(m.x() - r, m.y() - r, 2 * r, 2 * r)); break;
      case SnapKind::midpoint: {
        QPolygonF tri{QPointF(m.x(), m.y() - r), QPointF(m.x() + r, m.y() + r), QPointF(m.x() - r, m.y() + r)};
        p.drawPolygon(tri);
        break;
      }
      case SnapKind::center: p.drawEllipse(m, r, r); break;
      case SnapKind::intersection:
        p.drawLine(m + QPointF(-r, -r), m + QPointF(r, r));
        p.drawLine(m + QPointF(-r, r), m + QPointF(r, -r));
        break;
      case SnapKind::perpendicular:
        p.drawLine(m + QPointF(-r, r), m + QPointF(r, r));
        p.drawLine(m + QPointF(-r, r), m + QPointF(-r, -r));
        p.drawLine(m + QPointF(-r, 0), m + QPointF(0, 0));
        p.drawLine(m + QPointF(0, 0), m + QPointF(0, r));
        break;
      case SnapKind::nearest: {
        QPolygonF glass{m + QPointF(-r, -r), m + QPointF(r, -r), m + QPointF(-r, r), m + QPointF(r, r)};
        p.drawPolygon(glass);
        break;
      }
      case SnapKind::quadrant: {
        QPolygonF diamond{m + QPointF(0, -r), m + QPointF(r, 0), m + QPointF(0, r), m + QPointF(-r, 0)};
        p.drawPolygon(diamond);
        break;
      }
      case SnapKind::insertion:
        p.drawRect(QRectF(m.x() - r, m.y() - r, r, r));
        p.drawRect(QRectF(m.x(), m.y(), r, r));
        break;
    }
    const QString tip = snapName(snap_->kind);
    const QRectF box = QRectF(p.fontMetrics().boundingRect(tip)).adjusted(-4, -2, 4, 2).translated(c + QPointF(14, 26));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(255, 255, 225));
    p.drawRect(box);
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, tip);
    p.setBrush(Qt::NoBrush);
  }
}

// ---- events

void DrawingView::resizeEvent(QResizeEvent*) {
  // The whole drawing stays in view until the user zooms or pans.
  if (!transformSet_ || !viewMoved_) zoomExtents();
  ++generation_;
  update();
}

void DrawingView::mousePressEvent(QMouseEvent* e) {
  cursor_ = e->position();
  if (e->button() == Qt::MiddleButton) {
    panFrom_ = e->position();
    updateCursorShape();
    return;
  }
  if (e->button() == Qt::RightButton) {
    emit rightClicked(e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton || !prompt_) return;
  pressAt_ = e->position();
  const auto kind = prompt_->kind;
  if (kind == prompt::AskKind::command) {
    idleClick(e->position(), e->modifiers().testFlag(Qt::ShiftModifier));
    return;
  }
  if (kind != prompt::AskKind::point && kind != prompt::AskKind::pick && kind != prompt::AskKind::select) return;
  updateHover();
  if (const std::optional<db::Point2> p = effectivePoint())
    emit pointClicked(prompt::Point3{p->x, p->y, 0.0}, e->modifiers().testFlag(Qt::ShiftModifier));
}

// A click at the command prompt: a grip, an entity, or a corner of a box.
void DrawingView::idleClick(QPointF at, bool shift) {
  const db::Point2 p = transform_.toDrawing({at.x(), at.y()});
  if (idleBox_) {
    const db::Point2 first = *idleBox_;
    idleBox_.reset();
    update();
    emit boxMade(first, p, shift);
    return;
  }
  if (!shift) {
    if (const auto grip = gripAt(at)) {
      emit gripClicked(*grip);
      return;
    }
  }
  if (entityAt) {
    if (const auto id = entityAt(p, pixelsToDrawing(kPickBox))) {
      emit entityClicked(*id, shift);
      return;
    }
  }
  idleBox_ = p;
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton && panFrom_) {
    panFrom_.reset();
    updateCursorShape();
    update();
  }
  if (e->button() != Qt::LeftButton || !pressAt_) return;
  const QPointF from = *pressAt_;
  pressAt_.reset();
  // A box pressed, dragged and released: the release is its second corner.
  constexpr double kDragged = 4.0;
  const QPointF moved = e->position() - from;
  if (std::max(std::abs(moved.x()), std::abs(moved.y())) < kDragged || !prompt_) return;
  cursor_ = e->position();
  if (atCommandPrompt() && idleBox_) {
    idleClick(e->position(), e->modifiers().testFlag(Qt::ShiftModifier));
  } else if (prompt_->boxFromBase &&
             (prompt_->kind == prompt::AskKind::pick || prompt_->kind == prompt::AskKind::select ||
              prompt_->kind == prompt::AskKind::point)) {
    updateHover();
    if (const std::optional<db::Point2> p = effectivePoint())
      emit pointClicked(prompt::Point3{p->x, p->y, 0.0}, e->modifiers().testFlag(Qt::ShiftModifier));
  }
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() == Qt::MiddleButton) {
    zoomExtents();
    return;
  }
  mousePressEvent(e);
}

void DrawingView::mouseMoveEvent(QMouseEvent* e) {
  const QPointF at = e->position();
  if (panFrom_) {
    const QPointF delta = at - *panFrom_;
    panFrom_ = at;
    cursor_ = at;
    panBy(delta);
    return;
  }
  cursor_ = at;
  updateHover();
  if (const auto p = cursorPoint()) emit cursorMoved(p->x, p->y);
  update();
}

void DrawingView::wheelEvent(QWheelEvent* e) {
  const double steps = e->angleDelta().y() / 120.0;
  if (steps == 0.0) return;
  cursor_ = e->position();
  zoomAbout(e->position(), std::pow(kWheelStep, steps));
  e->accept();
}

void DrawingView::leaveEvent(QEvent*) {
  cursor_.reset();
  snap_.reset();
  hovered_.reset();
  update();
}

}  // namespace orv::window
