// The drawing database: entities by id, block definitions, symbol tables, handles and undo.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orv/db/entity.h"
#include "orv/db/entity_run.h"
#include "orv/db/raw_tags.h"
#include "orv/db/stable_vector.h"
#include "orv/db/tables.h"
#include "orv/db/types.h"
#include "orv/db/undo_journal.h"

namespace orv::db {

// Drawing-wide settings (DXF header variables) the model interprets, and the rest kept.
struct HeaderVariables {
  std::string fileVersion;  // $ACADVER of the file read, empty for a new drawing
  std::string codePage;     // $DWGCODEPAGE of the file read
  Point3 insertionBase;     // $INSBASE
  Point3 extentsMin;        // $EXTMIN
  Point3 extentsMax;        // $EXTMAX
  double linetypeScale = 1.0;   // $LTSCALE
  std::int16_t insertionUnits = 4;  // $INSUNITS, 4 = millimetres
  std::int16_t measurement = 1;     // $MEASUREMENT, 1 = metric
  std::string currentLayer = "0";   // $CLAYER: the layer new entities go on
  RawTags others;  // other variables as read: each a 9 $NAME tag, then its values
};

// Interned names: an entity holds a 4-byte id instead of a string.
class NamePool {
 public:
  NamePool();
  NameId intern(std::string_view name);
  std::optional<NameId> find(std::string_view name) const;
  std::string_view operator[](NameId id) const { return names_[id.index]; }
  std::size_t size() const { return names_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> index_;
};

// Told of every change to a database's contents as it happens (undo and redo included),
// so that what is derived from the drawing (an index, a picture) can follow it.
class ChangeObserver {
 public:
  virtual ~ChangeObserver() = default;
  // An entity was appended, erased, brought back or changed.
  virtual void entityChanged(ObjectId id) = 0;
  // A layer, linetype or block definition was added, changed or removed, or a header
  // value changed: what entities look like may have changed.
  virtual void tablesChanged() = 0;
};

class Database {
 public:
  // A bare database: model space, paper space and empty tables. Readers start here.
  Database();
  // A new drawing: layer "0", text style "Standard", the linetypes ByBlock, ByLayer,
  // Continuous and the metric patterns, and what every drawing file needs besides.
  static Database newDrawing();

  Database(Database&&) noexcept = default;
  Database& operator=(Database&&) noexcept = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Adds whatever a drawing must hold and lacks: layer 0, the three fixed linetypes, the
  // Standard text style, the viewport *Active, the application ACAD, the dimension style
  // Standard and the handles of the root objects.
  void ensureRequiredContent();

  // ---- names
  NameId intern(std::string_view name) { return names_.intern(name); }
  std::string_view name(NameId id) const { return names_[id]; }
  // Names interned so far; ids below it are theirs.
  std::size_t nameCount() const { return names_.size(); }

  // ---- entities
  // Appends to a block (model space by default): the entity gets a new handle. Fails
  // with invalidInput (a value not finite or out of range), notFound (no such block,
  // layer, linetype or referenced block) or selfReference.
  Result<ObjectId> append(Entity entity, BlockId owner);
  Result<ObjectId> append(Entity entity) { return append(std::move(entity), modelSpace()); }
  // As append, but keeps a handle read from a file (0: a new one) and the tags read with
  // the entity that the model does not interpret. Does not check layer and linetype, nor
  // the geometry when the reader says it has (`geometryValid`: validate gave ok).
  Result<ObjectId> appendRead(Entity entity, BlockId owner, Handle handle, RawTags extras,
                              bool geometryValid = false);
  // Appends the entities of a run, in its order, each to its block, as appendRead does
  // with entities whose values were checked (see EntityRun::add; their names must be this
  // drawing's). Returns how many were left out as ones the drawing cannot take (their
  // slots hold erased entities that no block lists). The run's storage is taken as it is,
  // its entities numbered on from the drawing's last.
  std::size_t appendRun(EntityRun&& run);
  // Gives back storage made ahead for entities that did not come (after reading a file).
  void trimStorage();
  // For readers: gives an entity another handle (the one read was missing or taken).
  void assignHandle(ObjectId id, Handle h) {
    entities_[id.index].handle_ = h;
    noteHandleInUse(h);
  }
  // The handles an entity's parts hold as entities of a file of their own (an old-style
  // polyline's vertices and SEQEND); readers may change them (a handle taken twice).
  static std::vector<Handle*> subHandles(Entity& e);
  std::vector<Handle*> subHandles(ObjectId id) { return subHandles(entities_[id.index]); }
  Status erase(ObjectId id);
  // Replaces an entity's geometry and properties (handle and owner stay).
  Status replace(ObjectId id, Entity entity);
  // The entity of an id, erased or not; nullptr for an id this database never gave.
  // Inline: walks over every entity of a large drawing call it hundreds of thousands of times.
  const Entity* entity(ObjectId id) const { return id.index < entities_.size() ? &entities_[id.index] : nullptr; }
  const RawTags* entityExtras(ObjectId id) const;
  // The newest entity of model space that is not erased; null if there is none.
  ObjectId lastEntity() const;
  std::size_t entitySlotCount() const { return entities_.size(); }
  // Calls f(ObjectId, const Entity&) for each entity of a block that is not erased, in
  // creation order.
  template <class F>
  void forEachEntity(BlockId block, F&& f) const {
    for (ObjectId id : blocks_[block.index].entities) {
      const Entity& e = entities_[id.index];
      if (!e.isErased()) f(id, e);
    }
  }

  // ---- blocks
  BlockId modelSpace() const { return BlockId{0}; }
  BlockId paperSpace() const { return BlockId{1}; }
  std::optional<BlockId> findBlock(std::string_view name) const;
  std::size_t blockCount() const { return blocks_.size(); }
  const BlockDefinition& block(BlockId id) const { return blocks_[id.index]; }
  // For the file reader and the preview commands: everything but `entities`, which only
  // the database changes.
  BlockDefinition& editBlock(BlockId id) { return blocks_[id.index]; }
  Result<BlockId> addBlock(std::string name, Point3 base);
  // For readers: gives a block another name (references follow, they hold the block's
  // id). duplicateName when the name is taken by another block, invalidInput when empty.
  Status renameBlock(BlockId id, std::string name);
  // Brings block `name` of another database into this one with everything it depends on
  // (nested blocks, layers, linetypes). A name this drawing already holds keeps this
  // drawing's definition. Returns this drawing's block of that name.
  Result<BlockId> mergeBlock(const Database& source, std::string_view name);
  // Takes a block definition out of the drawing with what it holds, in the open undo
  // group (a dimension's picture when the dimension is taken back). notFound for a block
  // already gone, invalidInput for model or paper space or a block that a block
  // reference or dimension (not erased) still draws.
  Status removeBlock(BlockId id);
  // One flag per block slot: true for a block a drawing file holds. Blocks taken out are
  // not held, nor anonymous dimension pictures ("*D…") that nothing draws any more
  // (their dimension erased or exploded), which CAD programs leave out on save too.
  std::vector<bool> savedBlocks() const;
  Handle blockRecordTableHandle = 0;
  RawTags blockRecordTableExtras;

  // ---- tables
  SymbolTable<Layer>& layers() { return layers_; }
  const SymbolTable<Layer>& layers() const { return layers_; }
  SymbolTable<Linetype>& linetypes() { return linetypes_; }
  const SymbolTable<Linetype>& linetypes() const { return linetypes_; }
  SymbolTable<TextStyle>& textStyles() { return styles_; }
  const SymbolTable<TextStyle>& textStyles() const { return styles_; }
  SymbolTable<SymbolRecord>& keptTable(KeptTable t) { return kept_[static_cast<int>(t)]; }
  const SymbolTable<SymbolRecord>& keptTable(KeptTable t) const {
    return kept_[static_cast<int>(t)];
  }
  // Add an entry with a new handle (when it has none). duplicateName if the name is taken.
  Result<std::size_t> addLayer(Layer layer);
  Result<std::size_t> addLinetype(Linetype linetype);
  // True for ByLayer, ByBlock and every linetype of the table.
  bool hasLinetype(std::string_view name) const;
  // Replaces the layer at `index` (its name may change only in case; handle kept).
  // invalidInput for a renaming or a linetype that is not loaded, notFound for an index
  // out of range.
  Status changeLayer(std::size_t index, Layer layer);
  // Gives layer `index` another name: every entity on it (in every block) and every
  // block definition on it follows, and $CLAYER when it is the current layer; one
  // record for undo. duplicateName when another layer has the name, invalidInput for an
  // empty name, layer 0 or DEFPOINTS, notFound for an index out of range.
  Status renameLayer(std::size_t index, std::string_view name);
  // What keeps a layer in the drawing, the first reason found.
  enum class LayerUse {
    unused,
    fixed,     // layer 0 or DEFPOINTS
    current,   // $CLAYER
    entities,  // an entity of some block (not erased) lies on it
    blocks,    // a block definition's BLOCK and ENDBLK lie on it
  };
  LayerUse layerUse(std::size_t index) const;
  // Takes an unused layer out of the table (undoable). notFound for an index out of
  // range, invalidInput for a layer in use (layerUse says why).
  Status removeLayer(std::size_t index);
  // Sets $CLAYER; notFound when no such layer exists.
  Status setCurrentLayer(std::string_view name);

  // ---- lineweight and linetype scale of an entity
  // Both live in the entity's tags: a modeled entity's tags kept beside it (in slot
  // kCommonSlot, its AcDbEntity part), a kept entity's own tags. Read them back with
  // geom::decodeCommon. Each change is recorded for undo. A value equal to what a
  // missing tag means (ByLayer, scale 1) takes the tag out.
  static constexpr std::uint8_t kCommonSlot = 1;
  // Hundredths of a millimetre, one of standardLineweights(), or lineweight::byLayer,
  // byBlock or byDefault; invalidInput for any other value.
  Status setLineweight(ObjectId id, std::int16_t lineweight);
  // A finite number above 0; invalidInput otherwise.
  Status setLinetypeScale(ObjectId id, double scale);

  // ---- the rest of a drawing file
  HeaderVariables header;
  RawTags classes;  // the CLASSES section as read
  RawTags objects;  // the OBJECTS section as read (0 tags included); empty: the minimum
  Handle rootDictionary = 0;  // handles for the minimum OBJECTS section
  Handle groupDictionary = 0;
  std::vector<std::uint8_t> thumbnail;  // THUMBNAILIMAGE bitmap bytes

  // ---- handles
  Handle newHandle() { return handseed_++; }
  // The next handle to give; above every handle the drawing holds.
  Handle handseed() const { return handseed_; }
  // For readers, once every handle is in place: the next handle to give, which must
  // exceed every handle of the drawing (ignored if it is not above those the
  // database holds itself).
  void setHandseed(Handle next);
  // Keeps the next handle above one read from a file.
  void noteHandle(Handle h) {
    if (h >= handseed_) handseed_ = h + 1;
  }
  // The same, for a handle an object of the drawing holds from now on (an entity's, its
  // vertices', or one a reader gives a record in place of a taken one): setHandseed then
  // keeps the next handle above it without a walk over every entity.
  void noteHandleInUse(Handle h) {
    noteHandle(h);
    if (h > highestInUse_) highestInUse_ = h;
  }

  // ---- undo and redo
  // Everything between begin and end (nesting allowed) is taken back by one undo. A group
  // that changes something makes what was undone before it unreachable for redo.
  void beginUndoGroup() { journal_.begin(); }
  void endUndoGroup() { journal_.end(); }
  Status undo();
  // Puts back what the last undo took back.
  Status redo();
  std::size_t undoGroupCount() const { return journal_.groupCount(); }
  std::size_t redoGroupCount() const { return journal_.redoCount(); }

  // ---- copies
  // While at least one copy scope is open, each entity appended under a new handle that
  // came with another (a copy of an entity of this drawing or of another) is noted; when
  // the outermost scope closes, what those copies name by handle (see copied_handles.h)
  // is pointed at the copies of the named objects, or cleared when they were not copied
  // along. Every path that copies entities opens one around its appends.
  void beginCopies() { ++copyDepth_; }
  void endCopies();

  // ---- observing changes
  // At most one observer; null stops telling. A move leaves the observer behind.
  void setObserver(ChangeObserver* observer) { observer_.p = observer; }

 private:
  friend class BlockMerger;
  Status checkEntity(const Entity& e, BlockId owner, bool checkTables, bool checkGeometry = true) const;
  bool blockReaches(BlockId from, BlockId target) const;
  Result<ObjectId> store(Entity&& e, BlockId owner, Handle handle, RawTags&& extras);
  // Gives the entity in slot `id` its handle (0: a new one), owner and kept tags, and
  // lists it in its block: what store does once the entity is in its slot.
  void settle(ObjectId id, BlockId owner, Handle handle, RawTags&& extras);
  // Gives the parts of an entity that have none a handle, and keeps the next above theirs.
  void giveSubHandles(Entity& e);
  // Applies one recorded change backwards (undo) or forwards again (redo).
  void revert(UndoJournal::Group& group, UndoJournal::Record& r, bool forward);
  // Sets (or, for an empty value, takes out) group `code` of an entity's common part.
  Status setCommonTag(ObjectId id, int code, const std::string& value);
  // The tags kept beside an entity, made (empty) if it has none.
  RawTags& extrasFor(ObjectId id);
  void changed(ObjectId id) {
    if (observer_.p) observer_.p->entityChanged(id);
  }
  void tablesChanged() {
    if (observer_.p) observer_.p->tablesChanged();
  }

  NamePool names_;
  StableVector<Entity> entities_;
  // Tags kept beside the model, for the few entities that have them: extras_[i] belongs
  // to the entity of index extrasOwner_[i], which rises.
  std::vector<RawTags> extras_;
  std::vector<std::uint32_t> extrasOwner_;
  std::vector<BlockDefinition> blocks_;
  std::unordered_map<std::string, std::uint32_t> blockIndex_;  // folded name -> block
  SymbolTable<Layer> layers_;
  SymbolTable<Linetype> linetypes_;
  SymbolTable<TextStyle> styles_;
  SymbolTable<SymbolRecord> kept_[kKeptTableCount];
  UndoJournal journal_;
  Handle handseed_ = 1;
  Handle highestInUse_ = 0;  // no entity's handle, nor one of its vertices', is above it
  int copyDepth_ = 0;
  std::unordered_map<Handle, Handle> copiedHandles_;  // original -> copy, while copying
  std::vector<std::uint32_t> copies_;                 // the copies made meanwhile
  // The observer watches this object, not its contents: a move leaves it behind.
  struct ObserverSlot {
    ChangeObserver* p = nullptr;
    ObserverSlot() = default;
    ObserverSlot(ObserverSlot&&) noexcept {}
    ObserverSlot& operator=(ObserverSlot&&) noexcept { return *this; }
  } observer_;
};

// Opens a copy scope of a database for as long as it lives (Database::beginCopies).
class CopyScope {
 public:
  explicit CopyScope(Database& d) : d_(d) { d_.beginCopies(); }
  ~CopyScope() { d_.endCopies(); }
  CopyScope(const CopyScope&) = delete;
  CopyScope& operator=(const CopyScope&) = delete;

 private:
  Database& d_;
};

}  // namespace orv::db
