// The command line as the prompt engine sees it: somewhere to write text and
// to ask for one reply. A terminal, a script file and (later) a window are
// presentations of it; the prompt engine knows none of them.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::prompt {

struct Point3 {
  double x = 0, y = 0, z = 0;
  friend bool operator==(const Point3&, const Point3&) = default;
};

// One answer at a prompt.
struct Reply {
  enum class Kind {
    Text,    // a line (possibly empty: Enter)
    Cancel,  // Ctrl-C at the terminal, "^C" in a script
    End,     // no more input: end of the script or of standard input
  };
  Kind kind = Kind::Text;
  std::string text;  // UTF-8, as typed, without the line end
  // A presentation that can pick points (a click in a drawing view) gives the
  // point here instead of as text.
  std::optional<Point3> point;
  // With a clicked point: how far (in drawing units) the presentation's pick box reaches
  // around it, for what the click picks (the point of a snap override at "于"); nullopt:
  // the session's pick distance, as for a typed point.
  std::optional<double> pickReach;
  // With a clicked point: the Shift key was held (TRIM and EXTEND then do each other's
  // work). A typed point never has it.
  bool shift = false;

  static Reply line(std::string t) { return {Kind::Text, std::move(t), std::nullopt, std::nullopt, false}; }
  static Reply cancel() { return {Kind::Cancel, {}, std::nullopt, std::nullopt, false}; }
  static Reply end() { return {Kind::End, {}, std::nullopt, std::nullopt, false}; }
};

// What a prompt asks for, so that a presentation can offer the right tools (a
// crosshair for a point, a pick box for an entity, the keywords as buttons).
enum class AskKind {
  command,  // the host's command prompt
  point,    // a point (getPoint)
  pick,     // a point to pick an entity at (acedEntSel)
  select,   // a point or option of an object selection
  real,     // a number
  integer,  // a whole number
  text,     // a line of text
  choice,   // one of the keywords (a question or a dialog at the command line)
};

struct AskOptions {
  AskKind kind = AskKind::text;
  // Base point of a point prompt, for presentations that draw a rubber band.
  std::optional<Point3> basePoint;
  // The base point is a corner of a rectangle (a window of a selection, ZOOM W): the
  // rubber band is that rectangle rather than a line.
  bool boxFromBase = false;
  // A number alone is a reply of its own here (a size, an angle, a distance, a scale):
  // true at number prompts and at the distance and angle prompts that take a point as
  // well (getDist, getAngle). Where it is false, a presentation may read a number typed
  // at a point prompt with a base point as a distance towards its cursor.
  bool takesNumber = false;
  // The keywords the reply may name, as armed ("W X S D F 0").
  std::vector<std::string> keywords;
  // How a presentation may name them, one per keyword ("窗口(W)"); empty: as the
  // prompt's brackets name them.
  std::vector<std::string> keywordLabels;
  // A text reply that may hold blanks: the space bar types a blank instead of ending it.
  bool blanksAllowed = false;

  // A point is a reply here (typed, or clicked in a view).
  bool takesPoint() const {
    return kind == AskKind::point || kind == AskKind::pick || kind == AskKind::select;
  }

  // The host's own command prompt: lines starting with "#" are comments there
  // and are skipped by presentations that read scripts.
  bool atCommandPrompt() const { return kind == AskKind::command; }
};

// The host's own work while a presentation waits for a reply: writing a recovery
// file on time between commands, and acting on a signal (a hang-up) at once. A
// presentation that waits for the user (the terminal, the window) calls it; one that
// reads a script need not.
class Waiting {
 public:
  virtual ~Waiting() = default;
  // A descriptor that becomes readable when the host must be woken (a signal
  // arrived); -1 for none.
  virtual int wakeDescriptor() const = 0;
  // How long a wait for a reply to this prompt may last before wake() is due
  // again; nullopt: no limit.
  virtual std::optional<std::chrono::milliseconds> nextWake(const AskOptions& options) = 0;
  // Called when a wait begins, when the wake descriptor is readable and when the
  // time nextWake gave has passed. True: the input ends now; the reply is End, and
  // every later one too.
  virtual bool wake(const AskOptions& options) = 0;
  // The input is gone for good (the terminal hung up): nothing more will be typed.
  virtual void inputLost() = 0;
};

class Console {
 public:
  virtual ~Console() = default;

  // Who to call while waiting for a reply (not owned; null: no one).
  virtual void setWaiting(Waiting* /*waiting*/) {}
  // True once the input is gone for good: every reply from then on is End.
  virtual bool inputLost() const { return false; }

  // Writes text to the command line exactly as given; each "\n" is a line break.
  virtual void print(std::string_view text) = 0;
  // Writes the prompt, then waits for one reply. A script presentation echoes
  // the reply after the prompt, followed by a line break; a cancel is shown as
  // "*取消*" and a line break, wherever it comes from.
  virtual Reply ask(std::string_view prompt, const AskOptions& options = {}) = 0;
  // An alert or message box: its text on a line of its own beginning with "** ".
  // A terminal then waits for Enter; a script consumes nothing.
  virtual void alert(std::string_view text) = 0;
};

// The text of an alert on the command line: "** " + text + "\n", preceded by
// a line break when the output is not at the start of a line.
inline std::string alertLine(std::string_view text, bool atLineStart) {
  std::string line;
  if (!atLineStart) line += '\n';
  line += "** ";
  line += text;
  line += '\n';
  return line;
}

}  // namespace orv::prompt
