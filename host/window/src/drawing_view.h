// The drawing view: the drawing painted by the renderer into a cached image, and over
// it what follows the mouse (crosshair, pick box, rubber band, snap marker, highlight).
// Zoom and pan show the cached image moved at once and draw the new image on two
// threads, each half of it; a newer step drops a drawing still on its way.
#pragma once

#include <QImage>
#include <QPointF>
#include <QThreadPool>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"
#include "orv/prompt/console.h"
#include "view_painter.h"

namespace orv::window {

// A snap point near the cursor: where it is and what kind of point it is.
enum class SnapKind { endpoint, midpoint, center, intersection, perpendicular, nearest, quadrant, insertion };
struct Snap {
  db::Point2 point;
  SnapKind kind = SnapKind::endpoint;
};
// The tip naming a kind of snap: "端点", "中点", ...
QString snapName(SnapKind kind);

// A point rounded to the coarsest decimal step finer than a tenth of a pixel at
// `scale` pixels per drawing unit: what a click gives (a click means no more).
db::Point2 roundToPixel(db::Point2 p, double scale);

class DrawingView final : public QWidget {
  Q_OBJECT

 public:
  explicit DrawingView(QWidget* parent = nullptr);
  ~DrawingView() override;

  // The drawing shown; null shows nothing. Not owned.
  void setDatabase(const db::Database* database);
  // The drawing changed: it is drawn again when next shown.
  void drawingChanged();
  // Waits for drawing still on its way (before anything may change the drawing).
  void quiesce();

  // What the waiting prompt asks (nullopt: nothing waits).
  void setPrompt(const std::optional<prompt::AskOptions>& options);

  // ---- the view
  const ViewTransform& transform() const { return transform_; }
  void setTransform(const ViewTransform& t);
  // As setTransform, by the user (zoom, pan): the view no longer follows resizes.
  void moveView(const ViewTransform& t);
  // The whole drawing (ZOOM E, a middle double click).
  void zoomExtents();
  // Zooms by `factor` (> 1 nearer) keeping the drawing point under `anchor` in place.
  void zoomAbout(QPointF anchor, double factor);
  void panBy(QPointF delta);

  // ---- modes
  bool dark() const { return dark_; }
  void setDark(bool dark);
  bool snapOn() const { return snapOn_; }
  void setSnapOn(bool on);
  bool orthoOn() const { return orthoOn_; }
  void setOrthoOn(bool on);
  bool gridOn() const { return gridOn_; }
  void setGridOn(bool on);

  // Where snaps are found: the snap of the running kinds nearest to a drawing point
  // within a distance in drawing units; unset: no snaps.
  std::function<std::optional<Snap>(db::Point2 at, double within)> snapAt;
  // The entity a pick there would take (nearest within the distance, the newest on a
  // tie); unset: nothing is highlighted.
  std::function<std::optional<db::ObjectId>(db::Point2 at, double within)> entityAt;

  // The point on the drawing nearest to a drawing point within a distance; unset or
  // nullopt: none. A click that picks gives it, so that the host's pick (within its
  // own pick distance) takes the entity under the pick box.
  std::function<std::optional<db::Point2>(db::Point2 at, double within)> nearestPoint;
  // The model-space entities that may show in a box of the drawing (the session's
  // spatial index); unset, or nullopt: the view walks the whole drawing. Asked, in the
  // view's own thread, only for views that show a small part of the drawing.
  std::function<std::optional<std::vector<db::ObjectId>>(const render::Extents& box)> entitiesIn;
  // Whether a view of part of the drawing is drawn in two halves at once (a second core
  // is free for one) or in one piece; unset: by the machine's load.
  std::function<bool()> drawInHalves;
  // A view of the whole drawing of at least this many entities is drawn in two parts of
  // model space's list, the second into an overlay laid over the first: each thread
  // looks only at its own entities, so the parts cost what the whole does even when
  // they take turns on one core.
  std::size_t drawnInPartsFrom = 65536;

  // ---- selection, grips and drag previews
  // The selection shown highlighted (dashed, brighter): the set being chosen at
  // "选择对象:", or the one chosen at the command prompt. `revision` changes whenever
  // the ids may have; unset or null ids: none.
  struct ShownSelection {
    const std::vector<db::ObjectId>* ids = nullptr;
    std::uint64_t revision = 0;
    // Every entity there is (Ctrl+A): the drawing as shown is the highlight, recoloured
    // and dashed, instead of each entity drawn again.
    bool everything = false;
  };
  std::function<ShownSelection()> shownSelection;
  // The selection changed (its highlight is drawn again).
  void selectionChanged();
  // The grips shown, blue squares at drawing points; `hot` (red) is being moved.
  void setGrips(std::vector<db::Point2> grips, std::optional<std::size_t> hot = std::nullopt);
  const std::vector<db::Point2>& grips() const { return grips_; }
  // The grip under a device point (within the pick box), if any.
  std::optional<std::size_t> gripAt(QPointF device) const;
  // What the waiting command shows at a point (a drag preview: entities not in the
  // drawing); unset or empty: nothing. Asked at point prompts as the cursor moves.
  std::function<std::vector<db::Entity>(db::Point2 at)> previewAt;
  // What the waiting command would make of the text typed so far, at a text prompt (a
  // line of TEXT in place); nothing: no preview.
  std::function<std::vector<db::Entity>()> typedPreview;
  // The preview drawn at the last frame, for tests: how many entities.
  std::size_t previewShown() const { return previewShown_; }
  // Forgets a box begun at the command prompt (Esc).
  void cancelIdleBox();

  // The drawing point under the cursor; nullopt when the cursor is not in the view.
  std::optional<db::Point2> cursorPoint() const;
  // The point a click at the cursor gives now: snapped, or moved by ortho; at a pick,
  // the point of the entity under the pick box nearest to the cursor.
  std::optional<db::Point2> effectivePoint() const;
  // Device pixels of the pick box's half side.
  static constexpr int kPickBox = 5;
  // How far from the cursor snaps are looked for, in pixels.
  static constexpr int kSnapAperture = 10;

  // The cached image and the transform it was drawn with (for tests and screenshots).
  const QImage& cachedImage() const { return cache_; }
  bool drawingCurrent() const;
  // Draws the current view at once in this thread (a screenshot, a test).
  void renderNow();

 signals:
  // A point clicked at a prompt that takes one; `shift`: with Shift held.
  void pointClicked(const prompt::Point3& point, bool shift);
  void rightClicked(QPoint globalPosition);
  void cursorMoved(double x, double y);
  void viewChanged();
  // At the command prompt: an entity clicked (Shift: to be removed), a box made (two
  // clicks or press, drag and release; drawing corners), a grip clicked.
  void entityClicked(db::ObjectId id, bool shift);
  void boxMade(db::Point2 first, db::Point2 second, bool shift);
  void gripClicked(std::size_t grip);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void wheelEvent(QWheelEvent*) override;
  void leaveEvent(QEvent*) override;

 private:
  struct Rendered;
  PaintOptions paintOptions() const;
  // What the drawing covers, measured once for each state of the drawing.
  std::optional<render::Extents> extents();
  // The entities the view at `t` may show, when it shows a small part of the drawing.
  std::shared_ptr<const std::vector<db::ObjectId>> visibleEntities(const ViewTransform& t);
  ViewTransform deviceTransform(const ViewTransform& t) const;
  void startRender();
  // The parts of an image drawn at once, each by a thread of its own: bands of its rows,
  // or halves of model space's list (the second into an overlay); none for no drawing.
  struct RenderPart {
    QRect rows;
    std::size_t from = 0;
    std::size_t to = static_cast<std::size_t>(-1);
    bool overlay = false;
  };
  std::vector<RenderPart> renderParts(const QSize& size, bool wholeDrawing) const;
  // The image a frame is drawn into (Format_RGB32, the view's size), filled with the
  // background only where the renderer will not paint it.
  QImage frameImage();
  // Paints one part, into `overlay` when it is one.
  static void paintPart(QImage& image, QImage* overlay, const RenderPart& part, const db::Database& db,
                        const ViewTransform& device, PaintOptions options);
  void renderDone(std::uint64_t generation, const QImage& image, const ViewTransform& t, double ms);
  void updateCursorShape();
  void updateHover();
  void paintGrid(class QPainter& p);
  void paintOverlay(class QPainter& p);
  void paintHighlight(class QPainter& p);
  void fitToView(QImage& image) const;
  void paintSelection(class QPainter& p);
  void paintPreview(class QPainter& p);
  void paintGrips(class QPainter& p);
  void idleClick(QPointF at, bool shift);
  bool atCommandPrompt() const { return prompt_ && prompt_->kind == prompt::AskKind::command; }
  double pixelsToDrawing(double px) const { return px / transform_.scale; }

  const db::Database* db_ = nullptr;
  ViewTransform transform_;
  std::optional<std::optional<render::Extents>> extents_;  // unset: not measured yet
  std::optional<render::Extents> extentsSeen_;  // the last measured, kept across changes
  bool transformSet_ = false;
  bool viewMoved_ = false;
  QImage cache_;
  ViewTransform cacheTransform_;
  bool cacheCurrent_ = false;  // cache_ shows the drawing as it is (perhaps elsewhere)
  std::uint64_t generation_ = 0;
  bool rendering_ = false;
  double lastRenderMs_ = 0.0;
  QThreadPool pool_;

  std::optional<prompt::AskOptions> prompt_;
  std::optional<QPointF> cursor_;
  std::optional<Snap> snap_;
  std::optional<db::ObjectId> hovered_;
  QImage highlight_;
  std::optional<db::ObjectId> highlightOf_;
  ViewTransform highlightTransform_;
  std::optional<QPointF> panFrom_;
  std::optional<QPointF> pressAt_;      // where the left button went down
  std::optional<db::Point2> idleBox_;   // the first corner of a box at the command prompt
  QImage selection_;                    // the shown selection, highlighted
  std::uint64_t selectionRevision_ = 0;
  const std::vector<db::ObjectId>* selectionOf_ = nullptr;
  std::size_t selectionSize_ = 0;
  std::uint64_t selectionGeneration_ = 0;
  ViewTransform selectionTransform_;
  bool selectionCurrent_ = false;
  std::vector<db::Point2> grips_;
  std::optional<std::size_t> hotGrip_;
  std::size_t previewShown_ = 0;
  QImage preview_;

  bool dark_ = true;
  bool snapOn_ = true;
  bool orthoOn_ = false;
  bool gridOn_ = false;
};

}  // namespace orv::window
