// What the tests of this folder share: a session run from a script in-process, its
// entities described one line each, and DXF files of a few entities to open.
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "orv/prompt/script_console.h"
#include "session.h"

#include <unistd.h>

namespace orv::apptest {

// A session that has run its script to the end; its drawing stays to be read.
class ScriptedSession {
 public:
  explicit ScriptedSession(const std::string& script) : in_(script), console_(in_, out_), session_(console_) {
    session_.run();
  }
  const db::Database& database() { return session_.database(); }
  std::string transcript() const { return out_.str(); }
  bool said(const std::string& text) const { return text.empty() || out_.str().find(text) != std::string::npos; }

 private:
  std::istringstream in_;
  std::ostringstream out_;
  prompt::ScriptConsole console_;
  app::Session session_;
};

inline std::string num(double v) {
  char b[32];
  const auto r = std::to_chars(b, b + sizeof b, v + 0.0);
  return std::string(b, r.ptr);
}

// One entity's geometry in a line; a kept kind by its name, style, height and contents.
inline std::string describe(const db::Database& d, const db::Entity& e) {
  auto pt = [](const db::Point3& p) { return num(p.x) + "," + num(p.y) + "," + num(p.z); };
  if (const auto* l = e.as<db::Line>()) return "LINE " + pt(l->start) + " " + pt(l->end);
  if (const auto* c = e.as<db::Circle>()) return "CIRCLE " + pt(c->center) + " " + num(c->radius);
  if (const auto* a = e.as<db::Arc>())
    return "ARC " + pt(a->center) + " " + num(a->radius) + " " + num(a->startAngle) + " " + num(a->endAngle);
  if (const auto* p = e.as<db::Polyline>()) {
    std::string out = p->closed() ? "PLINE closed" : "PLINE";
    for (std::size_t i = 0; i < p->size(); ++i) out += " " + num(p->point(i).x) + "," + num(p->point(i).y);
    return out;
  }
  if (const auto* r = e.as<db::BlockReference>())
    return "INSERT " + d.block(r->block).name + " " + pt(r->position) + " " + num(r->xScale) + " " +
           num(r->yScale) + " " + num(r->rotation);
  if (const auto* po = e.as<db::Point>()) return "POINT " + pt(po->position);
  if (const auto* el = e.as<db::Ellipse>()) return "ELLIPSE " + pt(el->center) + " " + num(el->ratio);
  if (const auto* t = e.as<db::Text>()) {
    const char* type = t->type == db::Text::Type::text ? "TEXT" : t->type == db::Text::Type::attrib ? "ATTRIB" : "ATTDEF";
    return std::string(type) + (t->style != "Standard" ? " 7=" + t->style : "") + " 40=" + num(t->height) + " 1=" + t->value;
  }
  if (const auto* m = e.as<db::MText>())
    return std::string("MTEXT") + (m->style != "Standard" ? " 7=" + m->style : "") + " 40=" + num(m->height) + " 1=" + m->content;
  if (const auto* k = e.as<db::UnknownEntity>()) {
    std::string out(d.name(k->type));
    for (db::RawTag t : k->tags)
      if (t.code == 1 || t.code == 7 || t.code == 40) out += " " + std::to_string(t.code) + "=" + std::string(t.value);
    return out;
  }
  return "OTHER";
}

// Every entity of model space: its layer, colour and geometry.
inline std::vector<std::string> describeAll(const db::Database& d) {
  std::vector<std::string> out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    out.push_back(std::string(d.name(e.layer)) + " " + std::to_string(e.color) + " " + describe(d, e));
  });
  return out;
}

// The last entity of model space.
inline std::string describeLast(const db::Database& d) {
  std::string out;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId, const db::Entity& e) { out = describe(d, e); });
  return out;
}

// A DXF file holding only the given ENTITIES section's contents, removed when the test
// program ends.
inline std::string dxfWith(const std::string& entities) {
  struct Made {
    std::vector<std::filesystem::path> files;
    ~Made() {
      std::error_code ec;
      for (const auto& f : files) std::filesystem::remove(f, ec);
    }
  };
  static Made made;
  const auto file = std::filesystem::temp_directory_path() /
                    ("orv-app-" + std::to_string(::getpid()) + "-" + std::to_string(made.files.size()) + ".dxf");
  std::ofstream(file, std::ios::binary) << "0\nSECTION\n2\nENTITIES\n" << entities << "0\nENDSEC\n0\nEOF\n";
  made.files.push_back(file);
  return file.string();
}

}  // namespace orv::apptest
