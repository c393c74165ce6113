// The host's side of module resources: finding a module's table, its dialog
// templates and bitmaps, and building a dialog's model from a template.
#pragma once

#include <memory>

#include "orv/dialogs/dialog_model.h"
#include "orvres.h"

namespace orv::sdk {

// Resources the host answers for a handle itself, before asking the module:
// its own (the null handle) or those a test provides. A null table removes
// the entry.
void registerResources(HINSTANCE module, const ORV_RESOURCE_TABLE* table);

// Entries of a table by id; null when absent or when the table is not sound.
const ORV_DIALOG_TEMPLATE* findDialogTemplate(const ORV_RESOURCE_TABLE& table, int id);
const ORV_BITMAP_RESOURCE* findBitmapResource(const ORV_RESOURCE_TABLE& table, int id);

// The model of a template: its controls in the template's order, each bitmap
// control showing the bitmap its text names ("#203") from the same table.
// Null when the template is not sound.
std::unique_ptr<dialogs::DialogModel> buildDialogModel(const ORV_DIALOG_TEMPLATE& dialog,
                                                       const ORV_RESOURCE_TABLE& table);

// A command starts: a resource module a command pushed and did not pop is
// forgotten.
void resetResourceStack();

}  // namespace orv::sdk
