// The prompt engine: one loop per kind of request, asking until a reply fits.
//
// Sections: keywords, replies, the requests.
#include "orv/prompt/engine.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "orv/prompt/reply_parser.h"

namespace orv::prompt {
namespace {

// --- Keywords ----------------------------------------------------------------

bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }

char foldCase(char c) { return isCapital(c) ? static_cast<char>(c - 'A' + 'a') : c; }

// Equality with ASCII letters compared without regard to case; other bytes
// (the UTF-8 of Chinese keywords among them) must be equal.
bool equalsFolded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  }
  return true;
}

bool abbreviates(std::string_view reply, std::string_view keyword) {
  std::string capitals;
  std::size_t lastCapital = std::string_view::npos;
  for (std::size_t i = 0; i < keyword.size(); ++i) {
    if (isCapital(keyword[i])) {
      capitals += keyword[i];
      lastCapital = i;
    }
  }
  if (capitals.empty()) return false;
  if (equalsFolded(reply, capitals)) return true;
  return reply.size() > lastCapital && reply.size() <= keyword.size() &&
         equalsFolded(reply, keyword.substr(0, reply.size()));
}

// The keywords of a space-separated list, in order, without empty ones.
std::vector<std::string> splitKeywords(std::string_view list) {
  std::vector<std::string> keywords;
  std::size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && isBlank(list[i])) ++i;
    const std::size_t start = i;
    while (i < list.size() && !isBlank(list[i])) ++i;
    if (i > start) keywords.emplace_back(list.substr(start, i - start));
  }
  return keywords;
}

// --- Replies -----------------------------------------------------------------

// Characters (code points) of UTF-8 text: every byte that does not continue
// a sequence starts one. A stray byte of broken text counts as one.
std::size_t countCharacters(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;
  }
  return n;
}

void appendShortest(double v, std::string& out) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  out.append(buffer, result.ptr);
}

// The text of a reply at a prompt that wants text: a picked point (a click
// in a drawing view) reads as "x,y,z".
std::string replyText(const Reply& reply) {
  if (!reply.point || !reply.text.empty()) return reply.text;
  std::string text;
  appendShortest(reply.point->x, text);
  text += ',';
  appendShortest(reply.point->y, text);
  text += ',';
  appendShortest(reply.point->z, text);
  return text;
}

bool isEmptyReply(std::string_view text) { return trimBlanks(text).empty(); }

// The angle of (dx, dy) in degrees, 0 <= angle < 360, exact along the axes.
double angleDegrees(double dx, double dy) {
  if (dy == 0) return dx < 0 ? 180 : 0;
  if (dx == 0) return dy > 0 ? 90 : 270;
  double a = std::fmod(std::atan2(dy, dx) / (std::numbers::pi / 180.0), 360.0);
  if (a < 0) a += 360.0;
  return a >= 360.0 ? 0 : a;
}

}  // namespace

// --- Keywords and typed distances ---------------------------------------------

std::optional<std::string> matchKeyword(const std::vector<std::string>& keywords,
                                        std::string_view reply) {
  reply = trimBlanks(reply);
  if (reply.empty()) return std::nullopt;

  std::vector<std::string_view> forms{reply};
  if (reply.size() > 1 && reply.front() == '_') forms.push_back(reply.substr(1));

  for (std::string_view form : forms) {
    for (const std::string& keyword : keywords) {
      if (equalsFolded(form, keyword)) return keyword;
    }
  }
  for (std::string_view form : forms) {
    for (const std::string& keyword : keywords) {
      if (abbreviates(form, keyword)) return keyword;
    }
  }
  return std::nullopt;
}

std::optional<double> directDistance(const AskOptions& options, std::string_view typed) {
  if (options.kind != AskKind::point || !options.basePoint || options.boxFromBase || options.takesNumber)
    return std::nullopt;
  const std::string read = asciiForms(typed);
  if (matchKeyword(options.keywords, read)) return std::nullopt;
  return parseReal(read);
}

// --- The requests -------------------------------------------------------------

PromptEngine::PromptEngine(Console& console) : console_(console) {}

void PromptEngine::initGet(int flags, std::string_view keywords) {
  armed_ = Armed{flags, splitKeywords(keywords), {}};
}

void PromptEngine::labelKeywords(std::vector<std::string> labels) {
  if (labels.size() == armed_.keywords.size()) armed_.labels = std::move(labels);
}

PromptEngine::Armed PromptEngine::takeArmed() { return std::exchange(armed_, Armed{}); }

AskOptions PromptEngine::askOptions(AskKind kind, const Armed& armed) {
  AskOptions options;
  options.kind = kind;
  options.keywords = armed.keywords;
  options.keywordLabels = armed.labels;
  options.takesNumber = kind == AskKind::real || kind == AskKind::integer;
  return options;
}

std::optional<Status> PromptEngine::receive(std::string_view prompt, const AskOptions& options,
                                            Reply& reply) {
  // After the end of input every question is still shown (and answered with a
  // cancel) so that the transcript tells what the command asked; a command that
  // keeps asking after cancels is cut off silently.
  if (inputEnded_ && ++questionsAfterEnd_ > kQuestionsShownAfterEnd) return Status::Cancel;
  reply = console_.ask(prompt, options);
  switch (reply.kind) {
    case Reply::Kind::Text:
      return std::nullopt;
    case Reply::Kind::Cancel:
      return Status::Cancel;
    case Reply::Kind::End:
      if (!inputEnded_) questionsAfterEnd_ = 0;
      inputEnded_ = true;
      return Status::Cancel;
  }
  return Status::Cancel;
}

std::optional<Status> PromptEngine::keywordReply(const Armed& armed, std::string_view read,
                                                  std::string_view typed) {
  if (auto keyword = matchKeyword(armed.keywords, read)) {
    lastKeyword_ = std::move(*keyword);
    return Status::Keyword;
  }
  if (armed.flags & kOther) {
    lastKeyword_ = std::string(trimBlanks(typed));
    return Status::Keyword;
  }
  return std::nullopt;
}

Status PromptEngine::askPoint(std::string_view prompt, const std::optional<Point3>& basePoint,
                              AskKind kind, const Armed& armed, Point3& out, bool boxFromBase,
                              std::optional<double>* number) {
  lastKeyword_.reset();
  lastShifted_ = false;
  const bool setsLastPoint = kind == AskKind::point;
  const std::string_view refused =
      number ? (armed.keywords.empty() ? refusal::kNumberOrPoint : refusal::kNumberPointOrKeyword)
             : (armed.keywords.empty() ? refusal::kInvalidPoint : refusal::kPointOrKeyword);
  AskOptions options = askOptions(kind, armed);
  options.basePoint = basePoint;
  options.boxFromBase = boxFromBase;
  options.takesNumber = number != nullptr;
  while (true) {
    Reply reply;
    if (auto status = receive(prompt, options, reply)) return *status;

    const std::string read = asciiForms(reply.text);
    std::optional<Point3> point = reply.point;
    if (!point) {
      if (isEmptyReply(read)) {
        if (armed.flags & kNoNull) continue;
        return Status::None;
      }
      point = parsePoint(read, lastPoint_);
    }
    if (point) {
      out = *point;
      if (setsLastPoint) lastPoint_ = *point;
      lastShifted_ = reply.point && reply.shift;
      return Status::Normal;
    }
    if (number && !reply.point) {
      if (const auto value = parseReal(read)) {
        *number = *value + 0.0;  // "-0" reads as 0
        return Status::Normal;
      }
    }
    // An armed keyword wins over a snap override, which wins over "any reply" (kOther).
    if (auto keyword = matchKeyword(armed.keywords, read)) {
      lastKeyword_ = std::move(*keyword);
      return Status::Keyword;
    }
    const bool snaps = snaps_ && (kind == AskKind::point || boxFromBase);
    if (const auto snap = snaps ? snapNamed(read) : std::nullopt) {
      AskOptions atOptions = options;
      atOptions.takesNumber = false;
      const Status st = askSnap(*snap, atOptions, out);
      if (st == Status::None) continue;
      if (st == Status::Normal && setsLastPoint) lastPoint_ = out;
      return st;
    }
    if (auto status = keywordReply(armed, read, reply.text)) return *status;
    console_.print(refused);
  }
}

Status PromptEngine::askSnap(SnapKind kind, AskOptions options, Point3& out) {
  options.keywords.clear();
  while (true) {
    Reply reply;
    if (auto status = receive(snapText::kAt, options, reply)) return *status;
    std::optional<Point3> at = reply.point;
    if (!at) {
      const std::string read = asciiForms(reply.text);
      if (isEmptyReply(read)) return Status::None;
      at = parsePoint(read, lastPoint_);
    }
    if (!at) {
      console_.print(refusal::kInvalidPoint);
      continue;
    }
    const auto snapped = reply.point && reply.pickReach
                             ? snaps_->snapPointWithin(kind, *at, options.basePoint, *reply.pickReach)
                             : snaps_->snapPoint(kind, *at, options.basePoint);
    if (snapped) {
      out = *snapped;
      return Status::Normal;
    }
    console_.print(snapText::kNotFound);
    return Status::None;
  }
}

Status PromptEngine::getPoint(std::string_view prompt, const std::optional<Point3>& basePoint,
                              Point3& out) {
  return askPoint(prompt, basePoint, AskKind::point, takeArmed(), out);
}

Status PromptEngine::getPickPoint(std::string_view prompt, Point3& out) {
  return askPoint(prompt, std::nullopt, AskKind::pick, takeArmed(), out);
}

Status PromptEngine::getSelectionPoint(std::string_view prompt, Point3& out) {
  return askPoint(prompt, std::nullopt, AskKind::select, takeArmed(), out);
}

Status PromptEngine::getCorner(std::string_view prompt, const Point3& corner, Point3& out) {
  return askPoint(prompt, corner, AskKind::pick, takeArmed(), out, true);
}

Status PromptEngine::getCornerPoint(std::string_view prompt, const Point3& corner, Point3& out) {
  return askPoint(prompt, corner, AskKind::point, takeArmed(), out, true);
}

Status PromptEngine::getDist(std::string_view prompt, const std::optional<Point3>& base, double& out) {
  return askMeasure(prompt, base, Measure::distance, out);
}

Status PromptEngine::getAngle(std::string_view prompt, const std::optional<Point3>& base, double& out) {
  return askMeasure(prompt, base, Measure::angle, out);
}

Status PromptEngine::askMeasure(std::string_view prompt, std::optional<Point3> base, Measure what,
                                double& out) {
  const Armed armed = takeArmed();
  const bool fixedBase = base.has_value();
  while (true) {
    if (!fixedBase) base.reset();
    Point3 p;
    std::optional<double> number;
    Status st = askPoint(prompt, base, AskKind::point, armed, p, false, &number);
    if (st == Status::Normal && !number && !base) {
      // The first of two points: the second gives the measure.
      base = p;
      st = askPoint(kSecondPointPrompt, base, AskKind::point, Armed{}, p);
    }
    if (st != Status::Normal) return st;

    double value = 0;
    if (number) {
      value = *number;
    } else {
      const double dx = p.x - base->x, dy = p.y - base->y;
      value = what == Measure::angle ? angleDegrees(dx, dy) : std::hypot(dx, dy);
    }
    if ((armed.flags & kNoZero) && value == 0.0) {
      console_.print(refusal::kZero);
    } else if ((armed.flags & kNoNegative) && value < 0.0) {
      console_.print(refusal::kNegative);
    } else {
      out = value;
      return Status::Normal;
    }
  }
}

Status PromptEngine::getKeyword(std::string_view prompt) {
  lastKeyword_.reset();
  lastShifted_ = false;
  const Armed armed = takeArmed();
  const AskOptions options = askOptions(AskKind::choice, armed);
  while (true) {
    Reply reply;
    if (auto status = receive(prompt, options, reply)) return *status;
    const std::string typed = replyText(reply);
    const std::string text = asciiForms(typed);
    if (isEmptyReply(text)) {
      if (armed.flags & kNoNull) continue;
      return Status::None;
    }
    if (auto status = keywordReply(armed, text, typed)) return *status;
    console_.print(refusal::kKeyword);
  }
}

Status PromptEngine::getReal(std::string_view prompt, double& out) {
  lastKeyword_.reset();
  lastShifted_ = false;
  const Armed armed = takeArmed();
  const std::string_view refused =
      armed.keywords.empty() ? refusal::kNumber : refusal::kNumberOrKeyword;
  const AskOptions options = askOptions(AskKind::real, armed);
  while (true) {
    Reply reply;
    if (auto status = receive(prompt, options, reply)) return *status;
    const std::string typed = replyText(reply);
    const std::string text = asciiForms(typed);
    if (isEmptyReply(text)) {
      if (armed.flags & kNoNull) continue;
      return Status::None;
    }

    if (const auto value = parseReal(text)) {
      if ((armed.flags & kNoZero) && *value == 0.0) {
        console_.print(refusal::kZero);
      } else if ((armed.flags & kNoNegative) && *value < 0.0) {
        console_.print(refusal::kNegative);
      } else {
        out = *value + 0.0;  // "-0" reads as 0
        return Status::Normal;
      }
      continue;
    }
    if (auto status = keywordReply(armed, text, typed)) return *status;
    console_.print(refused);
  }
}

Status PromptEngine::getInt(std::string_view prompt, int& out) {
  lastKeyword_.reset();
  lastShifted_ = false;
  const Armed armed = takeArmed();
  const std::string_view refused =
      armed.keywords.empty() ? refusal::kInteger : refusal::kIntegerOrKeyword;
  const AskOptions options = askOptions(AskKind::integer, armed);
  while (true) {
    Reply reply;
    if (auto status = receive(prompt, options, reply)) return *status;
    const std::string typed = replyText(reply);
    const std::string text = asciiForms(typed);
    if (isEmptyReply(text)) {
      if (armed.flags & kNoNull) continue;
      return Status::None;
    }

    int value = 0;
    const IntParse parsed = parseInt(text, value);
    if (parsed == IntParse::Ok) {
      if ((armed.flags & kNoZero) && value == 0) {
        console_.print(refusal::kZero);
      } else if ((armed.flags & kNoNegative) && value < 0) {
        console_.print(refusal::kNegative);
      } else {
        out = value;
        return Status::Normal;
      }
      continue;
    }
    if (auto status = keywordReply(armed, text, typed)) return *status;
    console_.print(parsed == IntParse::OutOfRange ? refusal::kIntegerRange : refused);
  }
}

Status PromptEngine::getString(std::string_view prompt, bool allowBlanks, std::size_t maxChars,
                               std::string& out) {
  lastKeyword_.reset();
  lastShifted_ = false;
  const Armed armed = takeArmed();
  AskOptions options = askOptions(AskKind::text, armed);
  options.blanksAllowed = allowBlanks;
  while (true) {
    Reply reply;
    if (auto status = receive(prompt, options, reply)) return *status;
    std::string text = replyText(reply);
    if (!allowBlanks) {
      const auto blank = text.find_first_of(" \t");
      if (blank != std::string::npos) text.resize(blank);
    }
    if (text.empty() && (armed.flags & kNoNull)) continue;
    if (countCharacters(text) > maxChars) {
      console_.print(refusal::kStringTooLong);
      continue;
    }
    out = std::move(text);
    return Status::Normal;
  }
}

}  // namespace orv::prompt
