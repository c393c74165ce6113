// A DIMENSION as CAD programs make it: the entity with its definition points, and its
// anonymous picture block "*D<n>" holding what the layout draws (extension lines, the
// dimension line or arc, arrowheads as filled SOLIDs or the arrow kind's block, the text).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orv/core/dimension_geometry.h"
#include "orv/db/database.h"

namespace orv::core {

// The entity of a layout: its type, definition points, text position, the direction it
// measures along (rotated and aligned), the text as written ("" for the measurement
// alone), the style's name and the picture block's name.
db::Dimension dimensionEntity(const DimensionParts& parts, db::Dimension::Type type, double rotationDegrees,
                              const std::string& written, const DimensionStyle& style, const std::string& block);

// What a dimension draws, as entities of its picture block (colour ByBlock, layer 0): the
// arrow kind's block is inserted when the drawing has it.
std::vector<db::Entity> pictureEntities(db::Database& d, const DimensionParts& parts, const DimensionStyle& style);

// The layout of a dimension from its definition points and text (for one whose points
// moved); nullopt for a kind not laid out here or points that lay out nothing.
std::optional<DimensionParts> layoutOfDimension(const db::Dimension& dim, const DimensionStyle& style);

// A new anonymous block "*D<n>" holding the picture; its name, or nullopt when the
// drawing refuses it.
std::optional<std::string> addPictureBlock(db::Database& d, const DimensionParts& parts, const DimensionStyle& style);

// A dimension with its definition points and text position inside `box` moved by `by`
// (STRETCH); nullopt when none lies inside.
std::optional<db::Dimension> stretchedDimension(const db::Dimension& dim, const Box2& box, Vec2 by);

// Lays the dimension `id` out again from its definition points in its own style (after a
// scale, a mirror or a stretch): its measurement follows, and its picture block's contents
// and text position are made anew unless the picture holds what cannot be made again here
// (a text). False when the picture was not made anew.
bool renewPicture(db::Database& d, db::ObjectId id);

}  // namespace orv::core
