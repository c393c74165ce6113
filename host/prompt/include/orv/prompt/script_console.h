// The command line of a script run: replies read line by line from a script,
// everything shown written to a transcript, each reply echoed after its prompt.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string_view>

#include "orv/prompt/console.h"

namespace orv::prompt {

// Replies come from UTF-8 lines: a carriage return before the line feed is
// dropped and nothing else is trimmed, so an empty line is Enter and a line
// of one blank is a reply of one blank. A line "^C" is a cancel. At the
// command prompt a line starting with "#" is a comment, read and not echoed.
// A UTF-8 byte-order mark at the start of the script is skipped.
//
// The transcript reads like the same session typed at a terminal: the
// prompt, the reply and a line break; "*取消*" for a cancel. When the script
// runs out while a command waits, the reply is End, shown as a cancel; at
// the command prompt it is End with nothing shown.
class ScriptConsole final : public Console {
 public:
  // Both streams must outlive the console.
  ScriptConsole(std::istream& script, std::ostream& transcript);

  void print(std::string_view text) override;
  Reply ask(std::string_view prompt, const AskOptions& options = {}) override;
  void alert(std::string_view text) override;

  // The number of script lines read so far, comments included.
  std::size_t linesRead() const { return linesRead_; }
  // True once the script has run out (or could not be read further).
  bool ended() const { return ended_; }

 private:
  void write(std::string_view text);
  bool readLine(std::string& line);

  std::istream& script_;
  std::ostream& transcript_;
  bool atLineStart_ = true;
  bool ended_ = false;
  std::size_t linesRead_ = 0;
};

}  // namespace orv::prompt
