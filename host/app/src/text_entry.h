// How a presentation that can show more than a command line takes a text reply: TEXT's
// line typed in place (the text it would make of what is typed so far), MTEXT's lines in
// a text editor, DDEDIT's content in an edit box prefilled with it. A command sets what
// its next text prompts offer; a presentation that shows it still answers those prompts
// with the very replies a script would give, so that the transcript is the same. The
// terminal and scripts ignore it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "orv/db/entity.h"

namespace orv::app {

class Session;

struct TextEntry {
  enum class Kind {
    line,        // one line at a time; `preview` shows it in the drawing as it is typed
    paragraphs,  // lines until an empty one: an editor gives them all (Enter: a new line)
    content,     // one reply holding the whole content: an edit box prefilled with `initial`
  };
  Kind kind = Kind::line;
  std::string initial;       // content: what it holds now
  bool multiLine = false;    // content: an MTEXT's, its paragraphs (at "\P") as lines
  double height = 0.0;       // paragraphs, content: the text's height, to show
  // line: the entities the line would make of the text typed so far (nothing: none).
  std::function<std::vector<db::Entity>(const std::string& typed)> preview;
};

// What the text prompts of this session offer now; null: a plain line.
const TextEntry* textEntry(const Session& s);

// Sets what the text prompts asked while it lives offer, and puts back the one before.
class TextEntryScope {
 public:
  TextEntryScope(const Session& s, TextEntry entry);
  ~TextEntryScope();
  TextEntryScope(const TextEntryScope&) = delete;
  TextEntryScope& operator=(const TextEntryScope&) = delete;

 private:
  const Session& session_;
  TextEntry entry_;
  const TextEntry* before_;
};

// An MTEXT's content as the lines of an editor (split at its paragraph ends "\P"), and
// lines joined back into content as they are (their codes kept).
std::vector<std::string> contentLines(const std::string& content);
std::string joinedContent(const std::vector<std::string>& lines);

}  // namespace orv::app
