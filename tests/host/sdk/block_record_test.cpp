// What a block table record tells a module: the references to its block, in
// the order the drawing made them, and its preview icon.
#include <gtest/gtest.h>

#include "side_db_fixture.h"

namespace {

namespace db = orv::db;
using orv::sdk::databaseOf;

AcDbBlockTableRecord* openRecord(AcDbDatabase& d, const wchar_t* name, AcDb::OpenMode mode) {
  AcDbBlockTable* table = nullptr;
  EXPECT_EQ(d.getBlockTable(table, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* record = nullptr;
  EXPECT_EQ(table->getAt(name, record, mode), Acad::eOk);
  table->close();
  return record;
}

std::vector<AcDbObjectId> walk(AcDbBlockReferenceIdIterator& it) {
  std::vector<AcDbObjectId> ids;
  for (it.start(); !it.done(); it.step()) {
    AcDbObjectId id;
    if (it.getBlockReferenceId(id) == Acad::eOk) ids.push_back(id);
  }
  return ids;
}

TEST(BlockReferenceIterator, yieldsEveryReferenceToTheBlockOldestFirst) {
  AcDbDatabase drawing(true);
  db::Database& d = databaseOf(&drawing);
  const db::BlockId part = orv::test::mustAddBlock(d, "PART");
  const db::BlockId other = orv::test::mustAddBlock(d, "OTHER");
  orv::test::mustAppend(d, db::Entity(db::Line{{0, 0, 0}, {1, 0, 0}}), part);
  const db::BlockId holder = orv::test::mustAddBlock(d, "HOLDER");
  const db::ObjectId first = orv::test::mustAppend(d, orv::test::referenceTo(part, {1, 0, 0}), d.modelSpace());
  orv::test::mustAppend(d, orv::test::referenceTo(other), d.modelSpace());
  const db::ObjectId erased = orv::test::mustAppend(d, orv::test::referenceTo(part, {2, 0, 0}), d.modelSpace());
  const db::ObjectId nested = orv::test::mustAppend(d, orv::test::referenceTo(part), holder);
  const db::ObjectId last = orv::test::mustAppend(d, orv::test::referenceTo(part, {3, 0, 0}), d.modelSpace());
  ASSERT_EQ(d.erase(erased), db::Status::ok);

  AcDbBlockTableRecord* record = openRecord(drawing, L"part", AcDb::kForRead);
  ASSERT_NE(record, nullptr);
  AcDbBlockReferenceIdIterator* it = nullptr;
  ASSERT_EQ(record->newBlockReferenceIdIterator(it), Acad::eOk);
  std::unique_ptr<AcDbBlockReferenceIdIterator> owned(it);
  record->close();

  const std::vector<AcDbObjectId> expected = {orv::sdk::entityId(&drawing, first), orv::sdk::entityId(&drawing, nested),
                                              orv::sdk::entityId(&drawing, last)};
  EXPECT_EQ(walk(*it), expected);
  AcDbObjectId id;
  EXPECT_NE(it->getBlockReferenceId(id), Acad::eOk) << "past the end";
  EXPECT_TRUE(id.isNull());
  AcDbDatabase* owner = nullptr;
  EXPECT_EQ(it->getDatabase(owner), Acad::eOk);
  EXPECT_EQ(owner, &drawing);

  // A reference erased after the iterator was made is stepped over.
  ASSERT_EQ(d.erase(nested), db::Status::ok);
  EXPECT_EQ(walk(*it).size(), 2u);

  // A block nobody references gives an iterator that is done at once.
  AcDbBlockTableRecord* unused = openRecord(drawing, L"HOLDER", AcDb::kForRead);
  AcDbBlockReferenceIdIterator* none = nullptr;
  ASSERT_EQ(unused->newBlockReferenceIdIterator(none), Acad::eOk);
  unused->close();
  none->start();
  EXPECT_TRUE(none->done());
  delete none;
}

TEST(BlockPreviewIcon, isStoredThroughARecordOpenForWrite) {
  AcDbDatabase drawing(true);
  orv::test::mustAddBlock(databaseOf(&drawing), "PART");
  PreviewIcon icon;
  for (std::uint8_t b : {1, 2, 3, 4}) icon.append(b);

  AcDbBlockTableRecord* reading = openRecord(drawing, L"PART", AcDb::kForRead);
  EXPECT_FALSE(reading->hasPreviewIcon());
  PreviewIcon out;
  EXPECT_NE(reading->getPreviewIcon(out), Acad::eOk);
  EXPECT_EQ(out.length(), 0);
  EXPECT_EQ(reading->setPreviewIcon(icon), Acad::eNotOpenForWrite);
  reading->close();

  AcDbBlockTableRecord* writing = openRecord(drawing, L"PART", AcDb::kForWrite);
  EXPECT_EQ(writing->setPreviewIcon(icon), Acad::eOk);
  writing->close();

  AcDbBlockTableRecord* again = openRecord(drawing, L"PART", AcDb::kForRead);
  EXPECT_TRUE(again->hasPreviewIcon());
  ASSERT_EQ(again->getPreviewIcon(out), Acad::eOk);
  again->close();
  ASSERT_EQ(out.length(), 4);
  EXPECT_EQ(out[3], 4);
  EXPECT_EQ(databaseOf(&drawing).block(*databaseOf(&drawing).findBlock("PART")).preview.size(), 4u);
}

}  // namespace
