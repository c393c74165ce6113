// What a block table record tells about its block: the references to it and
// its preview icon.
#include "dbsymtb.h"

#include <algorithm>

#include "bitmap_handles.h"
#include "db_impl.h"

namespace db = orv::db;
using orv::sdk::databaseOf;

namespace {

const db::BlockDefinition* definitionOf(const AcDbBlockTableRecord& record) {
  if (!record.isDatabaseResident()) return nullptr;
  const db::Database& d = databaseOf(record.database());
  const db::BlockId b = orv::sdk::modelBlock(record.objectId());
  if (b.index >= d.blockCount() || d.block(b).removed) return nullptr;
  return &d.block(b);
}

}  // namespace

Acad::ErrorStatus AcDbBlockTableRecord::newBlockReferenceIdIterator(AcDbBlockReferenceIdIterator*& iterator) const {
  iterator = nullptr;
  if (!definitionOf(*this)) return Acad::eNoDatabase;
  AcDbDatabase* owner = database();
  const db::Database& d = databaseOf(owner);
  const db::BlockId target = orv::sdk::modelBlock(objectId());
  // References anywhere in the drawing, oldest first, erased ones and those
  // inside blocks taken back by undo left out.
  std::vector<AcDbObjectId> ids;
  for (std::size_t i = 0; i < d.entitySlotCount(); ++i) {
    const db::ObjectId id{static_cast<std::uint32_t>(i)};
    const db::Entity* e = d.entity(id);
    if (!e || e->isErased() || d.block(e->owner()).removed) continue;
    if (const auto* ref = e->as<db::BlockReference>(); ref && ref->block == target)
      ids.push_back(orv::sdk::entityId(owner, id));
  }
  iterator = new AcDbBlockReferenceIdIterator(owner, std::move(ids));
  return Acad::eOk;
}

bool AcDbBlockTableRecord::hasPreviewIcon() const {
  const db::BlockDefinition* b = definitionOf(*this);
  return b && !b->preview.empty();
}

Acad::ErrorStatus AcDbBlockTableRecord::getPreviewIcon(PreviewIcon& icon) const {
  const db::BlockDefinition* b = definitionOf(*this);
  if (!b) return Acad::eNoDatabase;
  if (b->preview.empty()) return Acad::eNotApplicable;
  icon.setLogicalLength(static_cast<int>(b->preview.size()));
  std::copy(b->preview.begin(), b->preview.end(), icon.asArrayPtr());
  orv::sdk::rememberIconExtent(icon.asArrayPtr(), b->preview.size());
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPreviewIcon(const PreviewIcon& icon) {
  if (!definitionOf(*this)) return Acad::eNoDatabase;
  if (orvOpenMode() != AcDb::kForWrite) return Acad::eNotOpenForWrite;
  db::BlockDefinition& b = databaseOf(database()).editBlock(orv::sdk::modelBlock(objectId()));
  b.preview.assign(icon.asArrayPtr(), icon.asArrayPtr() + icon.length());
  return Acad::eOk;
}

// ---- AcDbBlockReferenceIdIterator

AcDbBlockReferenceIdIterator::~AcDbBlockReferenceIdIterator() = default;

void AcDbBlockReferenceIdIterator::start() { m_pos = 0; }

bool AcDbBlockReferenceIdIterator::done() const { return m_pos >= m_ids.size(); }

void AcDbBlockReferenceIdIterator::step() {
  if (m_pos < m_ids.size()) ++m_pos;
}

Acad::ErrorStatus AcDbBlockReferenceIdIterator::getBlockReferenceId(AcDbObjectId& id) const {
  id = AcDbObjectId();
  if (done()) return Acad::eInvalidInput;
  const db::Entity* e = databaseOf(m_db).entity(orv::sdk::modelEntity(m_ids[m_pos]));
  // A reference erased since the iterator was made yields no id.
  if (!e || e->isErased()) return Acad::eWasErased;
  id = m_ids[m_pos];
  return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReferenceIdIterator::getDatabase(AcDbDatabase*& db) const {
  db = m_db;
  return Acad::eOk;
}
