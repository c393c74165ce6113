// Script replies and the transcript of a script run.
#include "orv/prompt/script_console.h"

#include <string>

namespace orv::prompt {
namespace {

constexpr std::string_view kCancelShown = "*取消*\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

ScriptConsole::ScriptConsole(std::istream& script, std::ostream& transcript)
    : script_(script), transcript_(transcript) {}

void ScriptConsole::write(std::string_view text) {
  if (text.empty()) return;
  transcript_.write(text.data(), static_cast<std::streamsize>(text.size()));
  atLineStart_ = text.back() == '\n';
}

void ScriptConsole::print(std::string_view text) { write(text); }

void ScriptConsole::alert(std::string_view text) { write(alertLine(text, atLineStart_)); }

bool ScriptConsole::readLine(std::string& line) {
  if (ended_ || !std::getline(script_, line)) {
    ended_ = true;
    return false;
  }
  ++linesRead_;
  if (linesRead_ == 1 && line.starts_with(kByteOrderMark)) line.erase(0, kByteOrderMark.size());
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

Reply ScriptConsole::ask(std::string_view prompt, const AskOptions& options) {
  write(prompt);
  transcript_.flush();
  std::string line;
  while (readLine(line)) {
    if (options.atCommandPrompt() && line.starts_with('#')) continue;
    if (line == "^C") {
      write(kCancelShown);
      return Reply::cancel();
    }
    write(line);
    write("\n");
    return Reply::line(std::move(line));
  }
  if (!options.atCommandPrompt()) write(kCancelShown);
  transcript_.flush();
  return Reply::end();
}

}  // namespace orv::prompt
