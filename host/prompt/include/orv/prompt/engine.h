// The prompt engine: asks the questions of a running command through a
// Console, parses the replies, refuses what the waiting question cannot take
// (saying why and asking again) and hands the caller only valid answers.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orv/prompt/console.h"
#include "orv/prompt/snap.h"

namespace orv::prompt {

enum class Status {
  Normal,   // a value
  None,     // Enter on an empty line
  Cancel,   // cancelled, or the input ended
  Keyword,  // an armed keyword was typed; lastKeyword() gives it
  Error,    // the request failed (nothing picked, no last keyword)
};

// acedInitGet flags the engine honours.
enum InitFlags : int {
  kNoNull = 0x0001,      // an empty reply is not taken: the question comes again
  kNoZero = 0x0002,      // numbers: zero is refused
  kNoNegative = 0x0004,  // numbers: negative values are refused
  kOther = 0x0080,       // any reply the question cannot take is returned as a keyword
};

// What a request says when it refuses a reply. Each begins with a line break.
namespace refusal {
inline constexpr std::string_view kInvalidPoint = "\n点无效。";
inline constexpr std::string_view kPointOrKeyword = "\n需要点或选项关键字。";
inline constexpr std::string_view kNumber = "\n需要数值。";
inline constexpr std::string_view kNumberOrKeyword = "\n需要数值或选项关键字。";
inline constexpr std::string_view kInteger = "\n需要整数值。";
inline constexpr std::string_view kIntegerOrKeyword = "\n需要整数值或选项关键字。";
inline constexpr std::string_view kIntegerRange = "\n需要 -32768 和 32767 之间的整数。";
inline constexpr std::string_view kZero = "\n值不能为零。";
inline constexpr std::string_view kNegative = "\n值不能为负。";
inline constexpr std::string_view kStringTooLong = "\n字符串太长。";
inline constexpr std::string_view kKeyword = "\n需要选项关键字。";
inline constexpr std::string_view kNumberOrPoint = "\n需要数值或点。";
inline constexpr std::string_view kNumberPointOrKeyword = "\n需要数值、点或选项关键字。";
}  // namespace refusal

// What a distance or angle prompt without a base point asks after its first point.
inline constexpr std::string_view kSecondPointPrompt = "\n指定第二点: ";

// The armed keyword a reply names, as it was armed, or nullopt. A reply names a
// keyword when, blanks around it aside and letters compared without regard to case,
// it is the keyword itself, a shortening of it that keeps every capital ("Undo": "u",
// "un"; "eXit": "ex"), or its capitals alone ("eXit": "x"). A keyword without capitals
// ("0", "width") must be typed in full; one leading "_" on the reply is ignored. A full
// match anywhere in the list wins over a shortening; among shortenings the first armed
// keyword wins. The reply is read as typed: give it asciiForms() first.
std::optional<std::string> matchKeyword(const std::vector<std::string>& keywords,
                                        std::string_view reply);

// Direct distance entry: what a typed reply is at a prompt of a presentation that has
// a cursor. A number alone is a distance along the direction from the base point to the
// cursor only at a point prompt with a base point (not a rectangle's corner) that takes
// no number of its own and where the reply names no armed keyword; the distance, or
// nullopt where the reply is to be given as typed.
std::optional<double> directDistance(const AskOptions& options, std::string_view typed);

// Rules shared by every request:
//   - A cancel, or the end of the input, gives Cancel.
//   - An empty reply gives None (getString: Normal with empty text); at
//     point and number prompts a reply of blanks only counts as empty, as
//     the space bar does the work of Enter there.
//   - Keywords armed with initGet are matched without regard to case and may
//     be shortened down to their capitals ("Undo": "u"); a point, or at a
//     number prompt a number, is taken before a keyword.
//   - lastKeyword() is cleared by every request and set by one that returns
//     Keyword.
//   - Points, numbers and keywords are read from the reply's ASCII forms
//     (asciiForms: "１００，２００" is 100,200); getString gives the text as typed.
class PromptEngine {
 public:
  explicit PromptEngine(Console& console);

  Console& console() { return console_; }

  // Arms the next request (and only that one, of any kind) with flags and
  // space-separated keywords.
  void initGet(int flags, std::string_view keywords);
  // After initGet: what a presentation shows for each keyword, for a prompt whose text
  // does not name them (one label per keyword; others are ignored).
  void labelKeywords(std::vector<std::string> labels);

  // A point. basePoint is passed to the console (for a rubber band); a point
  // entered becomes the last point.
  Status getPoint(std::string_view prompt, const std::optional<Point3>& basePoint, Point3& out);
  Status getReal(std::string_view prompt, double& out);
  // A whole number from -32768 to 32767.
  Status getInt(std::string_view prompt, int& out);
  // A line of text; without allowBlanks only the part up to the first blank.
  // An empty reply is Normal with empty text. Replies of more than maxChars
  // characters (code points) are refused.
  Status getString(std::string_view prompt, bool allowBlanks, std::size_t maxChars,
                   std::string& out);
  // A point to pick an entity at (acedEntSel); the caller looks the entity up.
  // It does not change the last point.
  Status getPickPoint(std::string_view prompt, Point3& out);
  // A point or option of an object selection ("选择对象:"); as getPickPoint.
  Status getSelectionPoint(std::string_view prompt, Point3& out);
  // The opposite corner of a rectangle from `corner`; as getPickPoint (the
  // last point stays), with a rubber rectangle for presentations that draw one.
  Status getCorner(std::string_view prompt, const Point3& corner, Point3& out);
  // The opposite corner of a rectangle from `corner` at a point prompt: snaps apply and
  // the point becomes the last point, as at getPoint; the rubber band is the rectangle.
  Status getCornerPoint(std::string_view prompt, const Point3& corner, Point3& out);

  // A distance (acedGetDist): a number typed, or a point whose distance from `base`
  // in the drawing's plane (x and y) gives it. Without a base the first point given
  // becomes the base and kSecondPointPrompt asks for the second (a number at the first
  // prompt is the distance at once). Points set the last point and take snap
  // overrides, as at getPoint. With kNoZero a zero distance, typed or measured, is
  // refused ("\n值不能为零。"); with kNoNegative a negative number. Armed keywords
  // and kOther as at getPoint; anything else is refused with "\n需要数值或点。" (with
  // keywords "\n需要数值、点或选项关键字。") and asked again. A presentation is told
  // (AskOptions::takesNumber) that a number alone is the reply here, so that it never
  // reads one as a distance towards its cursor.
  //
  //   SCALE's factor:   initGet(kNoZero | kNoNegative, "");
  //                     getDist("\n指定比例因子: ", base, factor);
  Status getDist(std::string_view prompt, const std::optional<Point3>& base, double& out);
  // An angle in degrees, counter-clockwise from +x (acedGetAngle, in degrees): a
  // number typed (as it is: "-30", "400" are taken), or a point, the angle of the line
  // from `base` to it (0 <= angle < 360, exact along the axes). Without a base, as
  // getDist. Flags, keywords and refusals as getDist.
  //
  //   ROTATE's angle:   getAngle("\n指定旋转角度: ", base, degrees);
  Status getAngle(std::string_view prompt, const std::optional<Point3>& base, double& out);

  // One of the armed keywords (acedGetKword): Keyword with lastKeyword(), None for an
  // empty reply; anything else is refused with "\n需要选项关键字。" and asked again.
  Status getKeyword(std::string_view prompt);

  // Where getPoint and getCorner look up snap overrides ("END", "MID", ... typed at the
  // prompt, a keyword the caller armed winning); null: none are offered.
  void setSnapProvider(SnapProvider* provider) { snaps_ = provider; }
  SnapProvider* snapProvider() const { return snaps_; }

  // The keyword of the last request if it returned Keyword, as it was armed
  // (with kOther: the reply as typed, blanks around it dropped).
  const std::optional<std::string>& lastKeyword() const { return lastKeyword_; }

  // True when the last request returned a point clicked with Shift held (Reply::shift);
  // false after any other reply.
  bool lastPointShifted() const { return lastShifted_; }

  // The last point entered at any point prompt: the reference of "@" replies.
  Point3 lastPoint() const { return lastPoint_; }
  void setLastPoint(const Point3& p) { lastPoint_ = p; }

  // True once the console has reported the end of its input. From then on
  // every request is answered with Cancel (the question still shown, up to a
  // limit, so that a command that asks again after a cancel cannot loop for
  // ever on an exhausted script); the host calls resumeInput() before it asks
  // for the next command.
  bool inputEnded() const { return inputEnded_; }
  void resumeInput() { inputEnded_ = false; }

 private:
  struct Armed {
    int flags = 0;
    std::vector<std::string> keywords;
    std::vector<std::string> labels;
  };
  Armed takeArmed();
  static AskOptions askOptions(AskKind kind, const Armed& armed);
  enum class Measure { distance, angle };
  Status askMeasure(std::string_view prompt, std::optional<Point3> base, Measure what, double& out);
  // Asks once; the status that ends the request, or nullopt with a reply to judge.
  std::optional<Status> receive(std::string_view prompt, const AskOptions& options,
                                Reply& reply);
  // An armed keyword named by the reply as read (asciiForms), or with kOther
  // any reply as typed: Keyword; nullopt otherwise.
  std::optional<Status> keywordReply(const Armed& armed, std::string_view read,
                                     std::string_view typed);
  // A point (or, when `number` is given, a number alone as well: *number is then set).
  Status askPoint(std::string_view prompt, const std::optional<Point3>& basePoint,
                  AskKind kind, const Armed& armed, Point3& out, bool boxFromBase = false,
                  std::optional<double>* number = nullptr);
  // After a snap override was typed: asks "于" for the point to snap from. Normal with
  // the snap point, None to ask the prompt again, Cancel.
  Status askSnap(SnapKind kind, AskOptions options, Point3& out);

  Console& console_;
  SnapProvider* snaps_ = nullptr;
  Armed armed_;
  std::optional<std::string> lastKeyword_;
  bool lastShifted_ = false;
  Point3 lastPoint_;
  bool inputEnded_ = false;
  int questionsAfterEnd_ = 0;
  static constexpr int kQuestionsShownAfterEnd = 100;
};

}  // namespace orv::prompt
