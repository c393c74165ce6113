// GB drawing frames: the sheet's edge, the border and the title block, as one block per sheet.
#pragma once

#include <optional>
#include <string>

#include "orv/db/database.h"
#include "orv/render/page.h"

namespace orv::app {

// The frame's block name of a sheet: "GB_TK_A3_L" (landscape) or "GB_TK_A3_P".
std::string frameBlockName(const render::Paper& paper, render::Orientation orientation);

// The sheet a frame block's name stands for; nullopt for other blocks.
struct FrameSheet {
  render::Paper paper;
  render::Orientation orientation;
};
std::optional<FrameSheet> frameSheetOf(std::string_view blockName);

// The border's margins (mm): the binding side 25, the others 10, or 5 for A3 and A4; a
// lengthened sheet takes those of the next larger basic sheet.
double frameMargin(const render::Paper& paper);

// The title block's fields, in the order they are asked and written.
inline constexpr const char* kTitleFields[] = {"图名", "图号", "比例", "材料", "设计", "校对", "审核", "日期", "单位"};

// Makes the frame block of a sheet in millimetres, unless the drawing has it; its id.
db::Result<db::BlockId> ensureFrameBlock(db::Database& d, const render::Paper& paper,
                                     render::Orientation orientation);

// Inserts the frame at `corner` (its lower-left), `unitsPerMm` drawing units to a
// millimetre of paper, its 比例 field filled with `scaleText`: the INSERT, its ATTRIBs
// and their SEQEND. The INSERT's id.
db::Result<db::ObjectId> insertFrame(db::Database& d, const render::Paper& paper, render::Orientation orientation,
                                 db::Point2 corner, double unitsPerMm, const std::string& scaleText);

}  // namespace orv::app
