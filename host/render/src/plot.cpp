// Plotting: the page plan, the pens and a sheet backend put together, to a file written safely or into pixels.
#include "orv/render/plot.h"

#include <algorithm>
#include <cmath>

#include "output_file.h"
#include "sheet_backend.h"

namespace orv::render {

namespace {

Extents onDevice(const Extents& mm, double k, double dx, double dy) {
  return Extents{mm.minX * k + dx, mm.minY * k + dy, mm.maxX * k + dx, mm.maxY * k + dy};
}

Extents intersection(const Extents& a, const Extents& b) {
  return Extents{std::max(a.minX, b.minX), std::max(a.minY, b.minY), std::min(a.maxX, b.maxX),
                 std::min(a.maxY, b.maxY)};
}

// Draws the plan's sheet on `sheet`, its upper-left corner at device (dx, dy): model
// space through the plan's view, or a layout's paper space and model space through each
// of its viewports (clipped to its rectangle and the outline of the entity that clips
// it), all clipped to the printable part.
DrawReport drawSheet(SheetBackend& sheet, const db::Database& db, const PlotRequest& request, const PagePlan& plan,
                     double thinLine, double dx, double dy) {
  const double k = sheet.unitsPerMm();
  ViewOptions options;
  options.background = Background::light;
  options.thinLineWidth = thinLine;
  options.deviceUnitsPerMm = k;
  options.entityLimit = request.entityLimit;
  options.pens = &request.pens;
  ViewTransform view = plan.onDevice(k);
  view.offsetX += dx;
  view.offsetY += dy;
  Extents clip = onDevice(plan.printable, k, dx, dy);
  if (request.page.clipToArea && !request.layout) {
    const db::Point2 a = view.toDevice({request.page.area.minX, request.page.area.minY});
    const db::Point2 b = view.toDevice({request.page.area.maxX, request.page.area.maxY});
    clip = Extents{std::max(clip.minX, std::min(a.x, b.x)), std::max(clip.minY, std::min(a.y, b.y)),
                   std::min(clip.maxX, std::max(a.x, b.x)), std::min(clip.maxY, std::max(a.y, b.y))};
  }
  // The white sheet, out to whole device units: a picture a fraction of a pixel narrower
  // than its last column would leave that column grey.
  sheet.fill(Extents{std::floor(dx), std::floor(dy), std::ceil(dx + plan.widthMm * k), std::ceil(dy + plan.heightMm * k)},
             0xFFFFFFu);
  options.paintBackground = false;
  if (!request.layout) return sheet.draw(db, view, options, clip, nullptr);
  // A layout: model space through each viewport, then paper space over them.
  DrawReport report;
  auto add = [&report](const DrawReport& r) {
    report.painted += r.painted;
    report.skipped += r.skipped;
    report.truncated = report.truncated || r.truncated;
  };
  for (const LayoutViewport& vp : request.layout->viewports) {
    const db::Point2 a = view.toDevice({vp.box.minX, vp.box.maxY}), b = view.toDevice({vp.box.maxX, vp.box.minY});
    const Extents window = intersection(clip, Extents{a.x, a.y, b.x, b.y});
    if (!(window.maxX > window.minX && window.maxY > window.minY)) continue;
    ViewOptions o = options;
    o.frozenLayers = &vp.frozenLayers;
    const ClipShape shape = vp.clipBoundary.isNull() ? ClipShape{} : clipShapeOf(db, vp.clipBoundary, view);
    add(sheet.draw(db, throughViewport(view, vp), o, window, &shape));
  }
  // Paper space draws each viewport's border with it.
  ViewOptions paper = options;
  paper.space = &request.layout->block;
  add(sheet.draw(db, view, paper, clip, nullptr));
  return report;
}

}  // namespace

PlotResult plot(const db::Database& db, const std::filesystem::path& out, const PlotRequest& request) {
  PlotResult result;
  result.plan = planPage(request.page);
  const PagePlan& plan = result.plan;
  if (!(std::isfinite(request.dpi) && request.dpi >= 10.0 && request.dpi <= 2400.0) &&
      request.format == PictureFormat::png) {
    result.message = "分辨率无效（10 到 2400 dpi）";
    return result;
  }
  std::string reason;
  auto file = OutputFile::create(out, reason);
  if (!file) {
    result.message = "无法写入（" + reason + "）";
    return result;
  }
  std::unique_ptr<SheetBackend> sheet =
      makeSheet(request.format, *file, plan.widthMm, plan.heightMm, request.dpi, reason);
  if (!sheet) {
    result.message = reason;
    return result;
  }
  const double k = sheet->unitsPerMm();
  // The thinnest line: a tenth of a millimetre, and at least a pixel of an image.
  const double thin = request.format == PictureFormat::png ? std::max(0.1 * k, 1.0) : 0.1 * k;
  result.report = drawSheet(*sheet, db, request, plan, thin, 0.0, 0.0);
  reason = sheet->finish();
  sheet.reset();
  if (reason.empty() && !file->commit(reason)) reason = "无法写入（" + reason + "）";
  if (!reason.empty()) {
    result.message = reason;
    return result;
  }
  result.ok = true;
  return result;
}

PlotResult plotPreview(const db::Database& db, const PlotRequest& request, const PixelRows& rows) {
  PlotResult result;
  result.plan = planPage(request.page);
  const PagePlan& plan = result.plan;
  if (!(plan.widthMm > 0.0 && plan.heightMm > 0.0)) {
    result.message = "图纸尺寸无效";
    return result;
  }
  const double k = std::min(rows.width / plan.widthMm, rows.height / plan.heightMm);
  std::unique_ptr<SheetBackend> sheet = makePixelSheet(rows, k);
  if (!sheet || !(k > 0.0)) {
    result.message = "预览图无效";
    return result;
  }
  const double dx = std::floor((rows.width - plan.widthMm * k) / 2.0);
  const double dy = std::floor((rows.height - plan.heightMm * k) / 2.0) + rows.top;
  // Every line at least a pixel, so that the thinnest show; the heavier ones heavier.
  result.report = drawSheet(*sheet, db, request, plan, std::max(0.1 * k, 1.0), dx, dy);
  result.message = sheet->finish();
  result.ok = result.message.empty();
  return result;
}

}  // namespace orv::render
