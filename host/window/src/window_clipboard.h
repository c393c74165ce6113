// The desktop's clipboard for COPYCLIP, CUTCLIP and PASTECLIP: a drawing put there as
// DXF text under the DXF type and as plain text, so that another orvcad window and other
// programs that read DXF from the clipboard can take it; and the clipboard keys.
#pragma once

#include <optional>
#include <string>

#include "clipboard_commands.h"

class QKeyEvent;
class QObject;

namespace orv::window {

// The MIME type a DXF drawing goes under beside text/plain.
inline constexpr const char* kDxfMimeType = "image/vnd.dxf";

class DesktopClipboard final : public app::Clipboard {
 public:
  // Binds itself as the session's clipboard for its lifetime.
  DesktopClipboard();
  ~DesktopClipboard() override;
  DesktopClipboard(const DesktopClipboard&) = delete;
  DesktopClipboard& operator=(const DesktopClipboard&) = delete;

  void put(const std::string& dxf) override;
  std::optional<std::string> text() override;
  // Whether the clipboard holds a drawing (under the DXF type, or text that reads as DXF).
  static bool holdsDrawing();

 private:
  app::Clipboard* before_;
};

// The command a clipboard key asks for where the focus is: COPYCLIP for Ctrl+C, CUTCLIP
// for Ctrl+X, PASTECLIP for Ctrl+V; null when the key is another, or a text field with
// selected text (or, for Ctrl+V, a clipboard without a drawing) keeps it as its own.
const char* clipboardCommandOf(const QKeyEvent& key, QObject* focus);

}  // namespace orv::window
