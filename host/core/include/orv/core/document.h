// The drawing a session works on: its database, the file it belongs to, whether it has
// changes that are not saved, and undo and redo by command.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::core {

// Told of what changes in a document. Every call comes on the thread that changes it.
class DocumentObserver {
 public:
  virtual ~DocumentObserver() = default;
  // An entity was appended, erased, brought back or changed.
  virtual void entityChanged(db::ObjectId) {}
  // Layers, linetypes, blocks or header values changed.
  virtual void tablesChanged() {}
  // The file name or the unsaved-changes state changed.
  virtual void stateChanged() {}
};

class Document : private db::ChangeObserver {
 public:
  // A new drawing (no file yet).
  Document();
  explicit Document(db::Database database, std::optional<std::filesystem::path> path = {});
  ~Document() override;
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  db::Database& database() { return database_; }
  const db::Database& database() const { return database_; }

  // The file the drawing was opened from or last saved to.
  const std::optional<std::filesystem::path>& path() const { return path_; }
  void setPath(std::filesystem::path path);
  // The name a title bar or a question shows: the file's name, or "未命名".
  std::string displayName() const;

  // True when the drawing differs from the file it was opened from or last saved to
  // (a new drawing: from empty). Taking every change back with UNDO makes it false again.
  bool modified() const { return state() != savedState_; }
  // The drawing was written to its file as it is now.
  void markSaved();
  // A change that UNDO cannot take back (a block's preview icon, say).
  void noteChangeOutsideUndo();

  // ---- commands as steps
  // Everything between beginStep and endStep (nesting allowed) is one step of UNDO,
  // named after the command. endStep is true when the step changed the drawing.
  void beginStep(std::string name);
  bool endStep();
  // Takes back the last step (its name in `name`); false when there is none.
  bool undo(std::string& name);
  // Puts back the last step undone; false when there is none.
  bool redo(std::string& name);
  std::size_t undoSteps() const { return done_.size(); }
  std::size_t redoSteps() const { return undone_.size(); }
  // A change the database does not record itself (a header value or a table entry it
  // keeps as read): `back` puts the drawing as it was, `forth` as the change left it.
  // It belongs to the open step (a step of its own when none is open, named `name`),
  // and UNDO and REDO of that step call them after and before the database's changes.
  using OutsideChange = std::function<void(db::Database&)>;
  void recordChange(OutsideChange back, OutsideChange forth, const std::string& name = "");

  // ---- observers (not owned; remove before they go)
  void addObserver(DocumentObserver* observer);
  void removeObserver(DocumentObserver* observer);

 private:
  struct Step {
    std::string name;
    std::uint64_t serial = 0;
    bool databaseGroup = true;  // the database holds a group of changes for it
    std::vector<std::pair<OutsideChange, OutsideChange>> outside;  // back, forth; oldest first
  };
  struct State {
    std::uint64_t step = 0;  // serial of the newest step done; 0 for none
    std::uint64_t outside = 0;
    bool operator==(const State&) const = default;
  };
  State state() const { return {done_.empty() ? 0 : done_.back().serial, outsideUndo_}; }
  void entityChanged(db::ObjectId id) override;
  void tablesChanged() override;
  void notifyState();

  db::Database database_;
  std::optional<std::filesystem::path> path_;
  std::vector<Step> done_;
  std::vector<Step> undone_;
  std::uint64_t nextSerial_ = 1;
  std::uint64_t outsideUndo_ = 0;
  State savedState_;
  int stepDepth_ = 0;
  std::string stepName_;
  std::size_t groupsAtStepStart_ = 0;
  std::vector<std::pair<OutsideChange, OutsideChange>> stepOutside_;  // of the open step
  std::vector<DocumentObserver*> observers_;
};

}  // namespace orv::core
