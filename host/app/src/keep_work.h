// Keeping the user's work when a drawing is saved or closed: the question about
// unsaved changes, saving under a name that follows the rules for drawings, and the
// question before an existing file is replaced. Sessions that ask their user (the
// terminal, the window) ask; script sessions are never asked.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "orv/dialogs/presenter.h"

namespace orv::app {

class Session;

// Before the drawing is closed (QUIT, the end of the input, OPEN, NEW, RECOVER, the
// window closing): while it has unsaved changes, asks "是否将改动保存到 NAME？" and
// saves it on yes. True when the drawing may go: it had no changes, it was saved, the
// user said no, or the session asks no one; false when the user cancelled, or saving
// failed or was given no name (the drawing stays, the message said why).
bool mayCloseDrawing(Session& session);
// The question mayCloseDrawing asks about a drawing named `name` (for a presentation
// that asks it before it opens a file dialog).
dialogs::Question saveChangesQuestion(const std::string& name);

// SAVE: the drawing to its file; a drawing without one asks for a name first.
// True when it was saved.
bool saveToItsFile(Session& session);

// SAVEAS: asks for a name and saves the drawing under it. True when it was saved.
bool saveUnderNewName(Session& session);

}  // namespace orv::app
