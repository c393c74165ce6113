// The geometry editor: fields filled from one entity, kept while the same entity is
// shown (so that the vertex chosen and the cursor stay), each edit said once.
#include "geometry_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <cmath>

namespace orv::window {

namespace {

QString number(double v) { return QString::number(v, 'g', 12); }
QString pointText(double x, double y) { return number(x) + ", " + number(y); }
QString pointText(const db::Point3& p) {
  return p.z == 0.0 ? pointText(p.x, p.y) : pointText(p.x, p.y) + ", " + number(p.z);
}

// A kept text's contents and height.
std::pair<QString, QString> textOf(const db::UnknownEntity& k) {
  std::string contents, height;
  bool inGroup = false, inXdata = false;
  for (db::RawTag t : k.tags) {
    // Its own codes: neither application data (102 groups) nor extended data.
    if (t.code == 102) inGroup = !t.value.empty() && t.value.front() == '{';
    inXdata = inXdata || t.code >= 1000;
    if (inGroup || inXdata || t.code == 102) continue;
    if (t.code == 1) contents += std::string(t.value);
    if (t.code == 40 && height.empty()) height = std::string(t.value);
  }
  const auto h = QString::fromStdString(height).trimmed();
  bool ok = false;
  const double v = h.toDouble(&ok);
  return {QString::fromStdString(contents), ok ? number(v) : h};
}

}  // namespace

GeometryEditor::GeometryEditor(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("geometry"));
  form_ = new QFormLayout(this);
  form_->setContentsMargins(0, 0, 0, 0);
}

void GeometryEditor::clear() {
  while (form_->rowCount() > 0) form_->removeRow(0);
  fields_.clear();
  choices_.clear();
  shown_.clear();
  vertex_ = nullptr;
  closed_ = nullptr;
  vertices_.clear();
}

QLineEdit* GeometryEditor::field(const std::string& key) const {
  for (const Field& f : fields_)
    if (f.key == key) return f.edit;
  return nullptr;
}

QComboBox* GeometryEditor::choice(const std::string& key) const {
  for (const Choice& c : choices_)
    if (c.key == key) return c.box;
  return nullptr;
}

QLabel* GeometryEditor::shownValue(const std::string& key) const {
  for (const auto& [k, label] : shown_)
    if (k == key) return label;
  return nullptr;
}

void GeometryEditor::addShown(const QString& label, const std::string& key, const QString& value) {
  if (QLabel* there = shownValue(key)) {
    there->setText(value);
    return;
  }
  auto* shown = new QLabel(value, this);
  shown->setObjectName(QString::fromStdString(key));
  shown_.emplace_back(key, shown);
  form_->addRow(label, shown);
}

void GeometryEditor::addChoice(const QString& label, const std::string& key, const std::vector<QString>& items,
                               const std::vector<QString>& values, int current) {
  QComboBox* box = choice(key);
  if (!box) {
    box = new QComboBox(this);
    box->setObjectName(QString::fromStdString(key));
    for (const QString& item : items) box->addItem(item);
    choices_.push_back({key, box, values});
    form_->addRow(label, box);
    connect(box, &QComboBox::activated, this, [this, key](int index) {
      if (filling_) return;
      for (const Choice& c : choices_)
        if (c.key == key && index >= 0 && static_cast<std::size_t>(index) < c.values.size())
          emit changed(QString::fromStdString(key) + " " + c.values[static_cast<std::size_t>(index)]);
    });
  }
  const QSignalBlocker quiet(box);
  box->setCurrentIndex(current);
}

QLineEdit* GeometryEditor::add(const QString& label, const std::string& key, const QString& value) {
  for (Field& f : fields_)
    if (f.key == key) {
      // The same entity shown again: its value now, unless it is being typed.
      if (!f.edit->hasFocus() || f.edit->text() == f.shown) f.edit->setText(value);
      f.shown = value;
      return f.edit;
    }
  auto* edit = new QLineEdit(value, this);
  edit->setObjectName(QString::fromStdString(key));
  fields_.push_back({key, edit, value});
  form_->addRow(label, edit);
  connect(edit, &QLineEdit::editingFinished, this, [this, edit, key] {
    if (filling_) return;
    for (Field& f : fields_) {
      if (f.edit != edit) continue;
      const QString typed = edit->text().trimmed();
      if (typed == f.shown || typed.isEmpty()) return;
      f.shown = typed;  // said once; the drawing's value comes back with the next refresh
      if (key == "VERTEX") emit changed(QStringLiteral("VERTEX %1 %2").arg(vertex_->value()).arg(typed));
      else emit changed(QString::fromStdString(key) + " " + typed);
      return;
    }
  });
  return edit;
}

void GeometryEditor::showVertex() {
  QLineEdit* at = field("VERTEX");
  if (!at || !vertex_ || vertices_.empty()) return;
  const auto i = static_cast<std::size_t>(std::clamp(vertex_->value(), 1, static_cast<int>(vertices_.size())) - 1);
  const QString text = pointText(vertices_[i].x, vertices_[i].y);
  at->setText(text);
  for (Field& f : fields_)
    if (f.edit == at) f.shown = text;
}

void GeometryEditor::show(const db::Database& d, const db::Entity* e, db::ObjectId id) {
  const std::string type = e && e->as<db::UnknownEntity>() ? std::string(d.name(e->as<db::UnknownEntity>()->type)) : "";
  if (!e || !shownId_ || *shownId_ != id || shownKind_ != static_cast<int>(e->kind()) || shownType_ != type) clear();
  shownId_ = e ? std::optional<db::ObjectId>(id) : std::nullopt;
  shownKind_ = e ? static_cast<int>(e->kind()) : -1;
  shownType_ = type;
  if (!e) return;
  filling_ = true;
  if (const auto* l = e->as<db::Line>()) {
    add(QStringLiteral("起点"), "START", pointText(l->start));
    add(QStringLiteral("终点"), "END", pointText(l->end));
  } else if (const auto* c = e->as<db::Circle>()) {
    add(QStringLiteral("圆心"), "CENTER", pointText(c->center));
    add(QStringLiteral("半径"), "RADIUS", number(c->radius));
  } else if (const auto* a = e->as<db::Arc>()) {
    add(QStringLiteral("圆心"), "CENTER", pointText(a->center));
    add(QStringLiteral("半径"), "RADIUS", number(a->radius));
    add(QStringLiteral("起点角度"), "STARTANGLE", number(a->startAngle));
    add(QStringLiteral("端点角度"), "ENDANGLE", number(a->endAngle));
  } else if (const auto* p = e->as<db::Polyline>()) {
    vertices_.clear();
    for (std::size_t i = 0; i < p->size(); ++i) vertices_.push_back(p->point(i));
    if (!vertex_) {
      vertex_ = new QSpinBox(this);
      vertex_->setObjectName(QStringLiteral("vertexChooser"));
      form_->addRow(QStringLiteral("当前顶点"), vertex_);
      connect(vertex_, &QSpinBox::valueChanged, this, [this] { showVertex(); });
    }
    {
      const QSignalBlocker quiet(vertex_);
      vertex_->setRange(1, std::max<int>(1, static_cast<int>(vertices_.size())));
    }
    add(QStringLiteral("顶点"), "VERTEX", QString());
    showVertex();
    if (!closed_) {
      closed_ = new QCheckBox(QStringLiteral("闭合"), this);
      closed_->setObjectName(QStringLiteral("CLOSED"));
      form_->addRow(closed_);
      connect(closed_, &QCheckBox::clicked, this, [this](bool on) {
        if (!filling_) emit changed(on ? QStringLiteral("CLOSED Y") : QStringLiteral("CLOSED N"));
      });
    }
    closed_->setChecked(p->closed());
  } else if (const auto* r = e->as<db::BlockReference>()) {
    add(QStringLiteral("插入点"), "POSITION", pointText(r->position));
    add(QStringLiteral("X 比例"), "XSCALE", number(r->xScale));
    add(QStringLiteral("Y 比例"), "YSCALE", number(r->yScale));
    add(QStringLiteral("旋转"), "ROTATION", number(r->rotation));
  } else if (const auto* pt = e->as<db::Point>()) {
    add(QStringLiteral("位置"), "POSITION", pointText(pt->position));
  } else if (const auto* el = e->as<db::Ellipse>()) {
    add(QStringLiteral("中心"), "CENTER", pointText(el->center));
    add(QStringLiteral("短长轴比"), "RATIO", number(el->ratio));
  } else if (const auto* h = e->as<db::Hatch>()) {
    add(QStringLiteral("图案"), "PATTERN", QString::fromStdString(h->pattern));
    if (!h->solid) {
      add(QStringLiteral("比例"), "SCALE", number(h->scale));
      add(QStringLiteral("角度"), "ANGLE", number(h->angle));
    }
  } else if (const auto* t = e->as<db::Text>()) {
    add(QStringLiteral("内容"), "CONTENTS", QString::fromStdString(std::string(t->shown())));
    add(QStringLiteral("文字高度"), "HEIGHT", number(t->height));
    add(QStringLiteral("旋转"), "ROTATION", number(t->rotation));
    add(QStringLiteral("插入点"), "POSITION", pointText(t->anchor()));
  } else if (const auto* mt = e->as<db::MText>()) {
    add(QStringLiteral("内容"), "CONTENTS", QString::fromStdString(mt->content));
    add(QStringLiteral("文字高度"), "HEIGHT", number(mt->height));
    add(QStringLiteral("旋转"), "ROTATION", number(std::fmod(std::fmod(mt->angle(), 360.0) + 360.0, 360.0)));
    add(QStringLiteral("插入点"), "POSITION", pointText(mt->position));
  } else if (const auto* leader = e->as<db::Leader>()) {
    addShown(QStringLiteral("顶点数"), "VERTICES", QString::number(leader->vertices.size()));
    addChoice(QStringLiteral("箭头"), "ARROW", {QStringLiteral("有"), QStringLiteral("无")},
              {QStringLiteral("Y"), QStringLiteral("N")}, leader->hasArrow() ? 0 : 1);
    addChoice(QStringLiteral("路径类型"), "PATH", {QStringLiteral("直线"), QStringLiteral("样条曲线")},
              {QStringLiteral("STRAIGHT"), QStringLiteral("SPLINE")}, leader->spline() ? 1 : 0);
    addShown(QStringLiteral("标注样式"), "DIMSTYLE",
             QString::fromStdString(leader->style.empty() ? std::string("Standard") : leader->style));
    addShown(QStringLiteral("注释"), "ANNOTATION", leader->annotation != 0 ? QStringLiteral("有") : QStringLiteral("无"));
  } else if (const auto* k = e->as<db::UnknownEntity>(); k && type == "TEXT") {
    const auto [contents, height] = textOf(*k);
    add(QStringLiteral("内容"), "CONTENTS", contents);
    add(QStringLiteral("文字高度"), "HEIGHT", height);
  }
  filling_ = false;
}

}  // namespace orv::window
