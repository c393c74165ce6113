// Module resources: the table a module exports, bitmaps loaded from it, the
// stack of current resource modules, dialog models built from templates, and
// message boxes.
#include "resources.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "acdocman.h"
#include "bitmap_handles.h"
#include "host_bindings.h"
#include "orv/dialogs/dib.h"
#include "orv/modules/module_manager.h"
#include "orv/prompt/console.h"
#include "orv/prompt/engine.h"
#include "orv/text/encoding.h"

namespace orv::sdk {

namespace {

std::map<HINSTANCE, const ORV_RESOURCE_TABLE*>& registered() {
  static std::map<HINSTANCE, const ORV_RESOURCE_TABLE*> tables;
  return tables;
}

std::vector<HINSTANCE>& resourceStack() {
  static std::vector<HINSTANCE> stack;
  return stack;
}

std::string utf8(const wchar_t* text) { return text ? text::narrow(text) : std::string(); }

// The bitmap id a bitmap control's text names: "#203" or "203".
int bitmapIdOf(const wchar_t* text) {
  if (!text) return 0;
  if (*text == L'#') ++text;
  int id = 0;
  for (; *text; ++text) {
    if (*text < L'0' || *text > L'9' || id > 99999) return 0;
    id = id * 10 + (*text - L'0');
  }
  return id;
}

std::shared_ptr<const dialogs::Bitmap> loadBitmap(const ORV_RESOURCE_TABLE& table, int id) {
  const ORV_BITMAP_RESOURCE* resource = findBitmapResource(table, id);
  if (!resource || !resource->dib) return nullptr;
  auto decoded = dialogs::decodePackedDib({resource->dib, resource->size});
  if (!decoded.bitmap) {
    reportProblem("位图资源 " + std::to_string(id) + " 无法读取：" + decoded.error);
    return nullptr;
  }
  return std::make_shared<const dialogs::Bitmap>(std::move(*decoded.bitmap));
}

}  // namespace

void registerResources(HINSTANCE module, const ORV_RESOURCE_TABLE* table) {
  if (table)
    registered()[module] = table;
  else
    registered().erase(module);
}

const ORV_DIALOG_TEMPLATE* findDialogTemplate(const ORV_RESOURCE_TABLE& table, int id) {
  if (!table.dialogs || table.dialogCount <= 0) return nullptr;
  for (int i = 0; i < table.dialogCount; ++i)
    if (table.dialogs[i].id == id) return &table.dialogs[i];
  return nullptr;
}

const ORV_BITMAP_RESOURCE* findBitmapResource(const ORV_RESOURCE_TABLE& table, int id) {
  if (!table.bitmaps || table.bitmapCount <= 0) return nullptr;
  for (int i = 0; i < table.bitmapCount; ++i)
    if (table.bitmaps[i].id == id) return &table.bitmaps[i];
  return nullptr;
}

std::unique_ptr<dialogs::DialogModel> buildDialogModel(const ORV_DIALOG_TEMPLATE& dialog,
                                                       const ORV_RESOURCE_TABLE& table) {
  if (dialog.itemCount < 0 || (dialog.itemCount > 0 && !dialog.items)) return nullptr;
  auto model = std::make_unique<dialogs::DialogModel>();
  model->caption = utf8(dialog.caption);
  model->fontName = utf8(dialog.fontName);
  model->fontSize = dialog.fontSize;
  model->frame = {0, 0, dialog.cx, dialog.cy};
  for (int i = 0; i < dialog.itemCount; ++i) {
    const ORV_DIALOG_ITEM& item = dialog.items[i];
    dialogs::Control c;
    c.id = item.id;
    c.windowClass = utf8(item.windowClass);
    c.style = item.style;
    c.rect = {item.x, item.y, item.cx, item.cy};
    if (c.kind() == dialogs::ControlKind::picture)
      c.bitmap = loadBitmap(table, bitmapIdOf(item.text));
    else
      c.text = utf8(item.text);
    model->add(std::move(c));
  }
  return model;
}

void resetResourceStack() { resourceStack().clear(); }

}  // namespace orv::sdk

const ORV_RESOURCE_TABLE* orvFindModuleResources(HINSTANCE module) {
  auto& tables = orv::sdk::registered();
  if (auto it = tables.find(module); it != tables.end()) return it->second;
  auto* modules = orv::sdk::bound().modules;
  if (!module || !modules) return nullptr;
  auto* m = orv::modules::Module::fromHandle(module);
  if (!modules->isLoaded(m)) return nullptr;
  using Export = const ORV_RESOURCE_TABLE* (*)();
  auto resources = reinterpret_cast<Export>(m->symbol("orvModuleResources"));
  return resources ? resources() : nullptr;
}

HBITMAP LoadBitmapW(HINSTANCE module, int id) {
  if (!module) module = acDocManagerPtr()->currentResourceHandle();
  const ORV_RESOURCE_TABLE* table = orvFindModuleResources(module);
  if (!table) return nullptr;
  return orv::sdk::addBitmap(orv::sdk::loadBitmap(*table, id));
}

bool AcApDocManager::pushResourceHandle(HINSTANCE module) {
  orv::sdk::resourceStack().push_back(module);
  return true;
}

bool AcApDocManager::popResourceHandle() {
  auto& stack = orv::sdk::resourceStack();
  if (stack.empty()) return false;
  stack.pop_back();
  return true;
}

HINSTANCE AcApDocManager::currentResourceHandle() const {
  const auto& stack = orv::sdk::resourceStack();
  return stack.empty() ? nullptr : stack.back();
}

AcApDocManager* acDocManagerPtr() {
  static AcApDocManager manager;
  return &manager;
}

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR, UINT) {
  const std::string message = orv::sdk::utf8(text);
  if (auto* prompts = orv::sdk::bound().prompts)
    prompts->console().alert(message);
  else
    std::fprintf(stderr, "orvcad: %s\n", message.c_str());
  return IDOK;
}
