// Plotting: the page plan, the pens and the sheet backend put together, written safely.
#include "orv/render/plot.h"

#include <algorithm>
#include <cmath>

#include "output_file.h"
#include "sheet_backend.h"

namespace orv::render {

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
  ViewOptions options;
  options.background = Background::light;
  // The thinnest line: a tenth of a millimetre, and at least a pixel of an image.
  options.thinLineWidth = request.format == PictureFormat::png ? std::max(0.1 * k, 1.0) : 0.1 * k;
  options.deviceUnitsPerMm = k;
  options.entityLimit = request.entityLimit;
  options.pens = &request.pens;
  const Extents clip{plan.printable.minX * k, plan.printable.minY * k, plan.printable.maxX * k,
                     plan.printable.maxY * k};
  result.report = sheet->draw(db, plan.onDevice(k), options, clip);
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

}  // namespace orv::render
