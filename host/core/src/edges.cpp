// Edges near a place through the spatial index.
#include "orv/core/edges.h"

#include "orv/core/shapes.h"

namespace orv::core {

namespace {

class PieceCollector final : public ShapeSink {
 public:
  explicit PieceCollector(std::vector<Piece>& out) : out_(out) {}
  void piece(const Piece& p, bool) override { out_.push_back(p); }

 private:
  std::vector<Piece>& out_;
};

}  // namespace

std::vector<Piece> edgePieces(SpatialIndex& index, const Box2& area, const SelectionSet& edges,
                              db::ObjectId self) {
  std::vector<Piece> pieces;
  PieceCollector sink(pieces);
  for (db::ObjectId id : index.query(area)) {
    if (id == self || (!edges.empty() && !edges.contains(id))) continue;
    describeEntity(index.database(), id, sink);
  }
  return pieces;
}

std::vector<Piece> piecesOf(const db::Database& d, db::ObjectId id) {
  std::vector<Piece> pieces;
  PieceCollector sink(pieces);
  describeEntity(d, id, sink);
  return pieces;
}

}  // namespace orv::core
