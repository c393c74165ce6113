// Table names, the standard linetype patterns, and the content every drawing must hold.
#include "orv/db/tables.h"

#include "orv/db/database.h"

namespace orv::db {

std::string foldName(std::string_view name) {
  std::string key(name);
  for (char& c : key)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return key;
}

const std::vector<StandardLinetype>& metricLinetypes() {
  static const std::vector<StandardLinetype> kTypes = {
      {"CENTER", "Center ____ _ ____ _ ____ _ ____ _ ____ _ ____", {31.75, -6.35, 6.35, -6.35}},
      {"DASHED", "Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ _", {12.7, -6.35}},
      {"HIDDEN", "Hidden __ __ __ __ __ __ __ __ __ __ __ __ __ __", {6.35, -3.175}},
      {"PHANTOM", "Phantom ______  __  __  ______  __  __  ______",
       {31.75, -6.35, 6.35, -6.35, 6.35, -6.35}},
      {"DASHDOT", "Dash dot __ . __ . __ . __ . __ . __ . __ . __", {12.7, -6.35, 0.0, -6.35}},
      {"DOT", "Dot . . . . . . . . . . . . . . . . . . . . . . . .", {0.0, -6.35}},
      {"DIVIDE", "Divide ____ . . ____ . . ____ . . ____ . . ____",
       {12.7, -6.35, 0.0, -6.35, 0.0, -6.35}},
      {"BORDER", "Border __ __ . __ __ . __ __ . __ __ . __ __ .",
       {12.7, -6.35, 12.7, -6.35, 0.0, -6.35}},
  };
  return kTypes;
}

void Database::ensureRequiredContent() {
  auto ensureHandle = [this](Handle& h) {
    if (h == 0) h = newHandle();
  };
  for (auto& table : kept_) ensureHandle(table.handle);
  ensureHandle(layers_.handle);
  ensureHandle(linetypes_.handle);
  ensureHandle(styles_.handle);
  ensureHandle(blockRecordTableHandle);

  const char* fixed[][2] = {{"ByBlock", ""}, {"ByLayer", ""}, {"Continuous", "Solid line"}};
  for (const auto& [name, description] : fixed) {
    if (linetypes_.find(name)) continue;
    Linetype lt;
    lt.name = name;
    lt.description = description;
    lt.handle = newHandle();
    linetypes_.add(std::move(lt));
  }
  if (!layers_.find("0")) {
    Layer layer;
    layer.name = "0";
    layer.handle = newHandle();
    layers_.add(std::move(layer));
  }
  if (!styles_.find("Standard")) {
    TextStyle style;
    style.name = "Standard";
    style.handle = newHandle();
    styles_.add(std::move(style));
  }
  const std::pair<KeptTable, const char*> keptDefaults[] = {
      {KeptTable::vport, "*Active"}, {KeptTable::appid, "ACAD"}, {KeptTable::dimstyle, "Standard"}};
  for (const auto& [table, name] : keptDefaults) {
    auto& t = keptTable(table);
    if (t.find(name)) continue;
    SymbolRecord r;
    r.name = name;
    r.handle = newHandle();
    t.add(std::move(r));
  }
  for (BlockDefinition& b : blocks_) {
    if (b.removed) continue;
    ensureHandle(b.recordHandle);
    ensureHandle(b.beginHandle);
    ensureHandle(b.endHandle);
  }
  if (objects.empty()) {
    ensureHandle(rootDictionary);
    ensureHandle(groupDictionary);
  }
}

}  // namespace orv::db
