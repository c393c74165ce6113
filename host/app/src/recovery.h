// Recovery files: the drawing of a session kept where the next session finds it,
// should this one end without saving it (a hang-up, a signal, a failed --save).
//
// Each session has at most one, in the user's state folder ($XDG_STATE_HOME/orvcad,
// by default ~/.local/state/orvcad): NAME.dxf (the drawing, written atomically), NAME.info
// (the file the drawing belongs to) and NAME.lock, locked for as long as the session
// lives, so that another session tells a recovery file of a session that is gone
// from one of a session still running. A session that ends normally removes its own;
// RECOVER opens one of a session that is gone and removes it.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orv/core/document.h"
#include "orv/prompt/console.h"
#include "session.h"

namespace orv::app {

// The folder of recovery files: $XDG_STATE_HOME/orvcad when that is an absolute path,
// else ~/.local/state/orvcad; empty when there is no home folder.
std::filesystem::path recoveryFolder();

// A recovery file a session that is gone left.
struct RecoveryFile {
  std::filesystem::path drawing;                   // NAME.dxf
  std::optional<std::filesystem::path> belongsTo;  // the drawing's own file, if it had one
  std::string name;                                // as a question names the drawing
  std::time_t written = 0;
  std::filesystem::path stem;  // NAME without extension, in the folder
};

// Those in the folder, oldest first.
std::vector<RecoveryFile> recoveryFilesLeft(const std::filesystem::path& folder);

class Recovery final : public prompt::Waiting, private core::DocumentObserver, private SessionObserver {
 public:
  static constexpr double kDefaultSaveMinutes = 10;

  // interactive: the session writes on time and on SIGHUP and SIGTERM (it installs
  // their handlers for its lifetime) and offers the recovery files it finds.
  Recovery(Session& session, bool interactive, std::filesystem::path folder = recoveryFolder());
  ~Recovery() override;
  Recovery(const Recovery&) = delete;
  Recovery& operator=(const Recovery&) = delete;

  // SAVETIME: minutes between writes while the drawing has unsaved changes; 0 turns
  // them off.
  double saveMinutes() const { return saveMinutes_; }
  void setSaveMinutes(double minutes);

  // Tells the session's user of the recovery files sessions that are gone left.
  void offer();
  // RECOVER: opens one of them (asking which when there are several).
  void recover();

  // Writes the drawing to this session's recovery file now, changed or not, and keeps
  // it when the session ends. Its path, or nullopt with the reason in `why`.
  std::optional<std::filesystem::path> keep(std::string& why);

  // The signal that ends the session (SIGHUP, SIGTERM), or 0; the input may also
  // have been lost without one. Either way the recovery file stays.
  int endingSignal() const;
  bool endedAbnormally() const { return ending_; }

  // prompt::Waiting
  int wakeDescriptor() const override;
  std::optional<std::chrono::milliseconds> nextWake(const prompt::AskOptions& options) override;
  bool wake(const prompt::AskOptions& options) override;
  void inputLost() override;

 private:
  using Clock = std::chrono::steady_clock;

  // core::DocumentObserver
  void entityChanged(db::ObjectId) override { changed(); }
  void tablesChanged() override { changed(); }
  void stateChanged() override;
  // SessionObserver
  void documentReplaced(core::Document& document) override;

  void changed();
  // The drawing differs from its file, by the document's steps or by a command that
  // is half way (its step not ended yet).
  bool unsaved() const { return document_->modified() || generation_ != cleanGeneration_; }
  // Between commands: writes when it is time, removes the file once the drawing has
  // no unsaved changes.
  void betweenCommands();
  // The session ends at once: the drawing is kept and no one is asked anything.
  void endNow();
  // Writes the drawing; false with the reason.
  bool write(std::string& why);
  void removeOwn();
  std::filesystem::path own(const char* extension) const;

  Session& session_;
  core::Document* document_ = nullptr;
  bool interactive_;
  std::filesystem::path folder_;
  std::string stem_;  // this session's NAME
  int lockFd_ = -1;
  double saveMinutes_ = kDefaultSaveMinutes;
  std::uint64_t generation_ = 0;         // counts changes of the drawing
  std::uint64_t writtenGeneration_ = 0;  // the generation the file holds
  std::uint64_t cleanGeneration_ = 0;    // the last generation without unsaved changes
  std::optional<Clock::time_point> changedSince_;  // first change the file does not hold
  bool written_ = false;                 // this session's file exists
  bool kept_ = false;
  bool ending_ = false;
  bool failureShown_ = false;
  struct Signals;
  std::unique_ptr<Signals> signals_;
};

// RECOVER and SAVETIME, working on the session's Recovery.
void addRecoveryCommands(Session& session, Recovery& recovery);

}  // namespace orv::app
