// The questions that keep the user's work, and saving under a checked name.
#include "keep_work.h"

#include <system_error>

#include "drawing_files.h"
#include "file_names.h"
#include "messages.h"
#include "orv/io/drawing_file.h"
#include "session.h"

namespace orv::app {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNamePrompt = "\n保存图形为 (DXF): ";

}  // namespace

dialogs::Question saveChangesQuestion(const std::string& name) {
  dialogs::Question q;
  q.text = "是否将改动保存到 " + name + "？";
  q.prompt = "\n是否将改动保存到 " + name + "？[是(Y)/否(N)/取消(C)] <是>:";
  q.answers = {{"Y", "是", "保存"}, {"N", "否", "不保存"}, {"C", "取消"}};
  q.defaultAnswer = 0;
  q.cancelAnswer = 2;
  return q;
}

namespace {

dialogs::Question replaceQuestion(const fs::path& path) {
  dialogs::Question q;
  q.text = messages::quoted(path) + "已存在。要替换它吗？";
  q.prompt = "\n" + q.text + "[是(Y)/否(N)] <否>:";
  q.answers = {{"Y", "是"}, {"N", "否"}};
  q.defaultAnswer = 1;
  q.cancelAnswer = 1;
  return q;
}

bool isItsOwnFile(Session& s, const fs::path& path) {
  const auto& own = s.document().path();
  if (!own) return false;
  std::error_code ec;
  return *own == path || fs::equivalent(*own, path, ec);
}

// The file a name typed for saving stands for; nullopt (after saying why) when there
// is none: no name, a name the rules refuse, or an existing file the user keeps. A
// suggestion is offered in the prompt and taken for an empty reply.
std::optional<fs::path> fileToSaveTo(Session& s, const std::optional<fs::path>& suggestion = std::nullopt) {
  std::string typed;
  const std::string prompt =
      suggestion ? "\n保存图形为 (DXF) <" + suggestion->string() + ">: " : std::string(kNamePrompt);
  const prompt::Status status = s.prompts().getString(prompt, true, 4096, typed);
  if (suggestion && (status == prompt::Status::None || (status == prompt::Status::Normal && typed.empty())))
    typed = suggestion->string();
  else if (status != prompt::Status::Normal || typed.empty())
    return std::nullopt;
  DrawingName name = drawingNameToSave(typed, NameFrom::command);
  if (!name.path) {
    s.console().print("\n" + name.refusal);
    return std::nullopt;
  }
  std::error_code ec;
  if (s.interactive() && fs::exists(*name.path, ec) && !fs::is_directory(*name.path, ec) &&
      !isItsOwnFile(s, *name.path)) {
    if (s.dialogs().choose(replaceQuestion(*name.path)) != 0) return std::nullopt;
  }
  return name.path;
}

bool saveTo(Session& s, const fs::path& path) {
  FileResult r = saveDrawing(s, path);
  s.console().print("\n" + (r.ok ? messages::savedDrawing(path) : r.message));
  return r.ok;
}

}  // namespace

bool saveToItsFile(Session& s) {
  if (const auto& path = s.document().path()) {
    // A DWG is never written over: the drawing goes to a DXF, NAME.dxf beside it offered.
    if (io::hasDwgExtension(*path)) {
      const auto chosen = fileToSaveTo(s, fs::path(*path).replace_extension(".dxf"));
      return chosen && saveTo(s, *chosen);
    }
    return saveTo(s, *path);
  }
  const auto path = fileToSaveTo(s);
  return path && saveTo(s, *path);
}

bool saveUnderNewName(Session& s) {
  const auto path = fileToSaveTo(s);
  return path && saveTo(s, *path);
}

bool mayCloseDrawing(Session& s) {
  if (!s.interactive() || !s.document().modified()) return true;
  switch (s.dialogs().choose(saveChangesQuestion(s.document().displayName()))) {
    case 0: return saveToItsFile(s);
    case 1: return true;
    default: return false;
  }
}

}  // namespace orv::app
