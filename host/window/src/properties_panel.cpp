// The properties panel and the layer control: the selection summed up, its properties
// chosen from lists, each choice one CHPROP (or LAYER) at the command prompt.
#include "properties_panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalBlocker>

#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "orv/core/shapes.h"
#include "geometry_editor.h"
#include "layer_control.h"
#include "layer_states.h"
#include "orv/geom/kept.h"
#include "window_console.h"

namespace orv::window {

namespace {

const QString kVarious = QStringLiteral("*多种*");

QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString colourName(int c) {
  if (c == db::color::byLayer) return QStringLiteral("BYLAYER");
  if (c == db::color::byBlock) return QStringLiteral("BYBLOCK");
  return QString::number(c);
}

QString number(double v) { return QString::number(v, 'g', 12); }

}  // namespace

PropertiesPanel::PropertiesPanel(app::Session& session, WindowConsole& console, QWidget* parent)
    : QDockWidget(QStringLiteral("特性"), parent), session_(&session), console_(console) {
  setObjectName(QStringLiteral("properties"));
  auto* body = new QWidget(this);
  auto* form = new QFormLayout(body);
  summary_ = new QLabel(body);
  summary_->setWordWrap(true);
  form->addRow(summary_);
  auto combo = [body](bool editable) {
    auto* c = new QComboBox(body);
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(140);
    return c;
  };
  layer_ = combo(false);
  colour_ = combo(true);
  linetype_ = combo(false);
  lineweight_ = combo(false);
  // Each item's data is what CHPROP LW takes.
  lineweight_->addItem(QStringLiteral("BYLAYER"), QStringLiteral("BYLAYER"));
  lineweight_->addItem(QStringLiteral("BYBLOCK"), QStringLiteral("BYBLOCK"));
  lineweight_->addItem(QStringLiteral("默认"), QStringLiteral("DEFAULT"));
  for (std::int16_t w : db::kStandardLineweights)
    lineweight_->addItem(QString::number(w / 100.0, 'f', 2) + " mm", QString::number(w / 100.0, 'f', 2));
  linetypeScale_ = new QLineEdit(body);
  geometry_ = new GeometryEditor(body);
  connect(geometry_, &GeometryEditor::changed, this, [this](const QString& change) {
    if (!filling_ && atCommandPrompt() && session_->selector().current().size() == 1)
      console_.answer("CHGEOM " + change.toStdString());
  });
  form->addRow(QStringLiteral("图层"), layer_);
  form->addRow(QStringLiteral("颜色"), colour_);
  form->addRow(QStringLiteral("线型"), linetype_);
  form->addRow(QStringLiteral("线宽"), lineweight_);
  form->addRow(QStringLiteral("线型比例"), linetypeScale_);
  form->addRow(geometry_);
  setWidget(body);

  connect(layer_, &QComboBox::activated, this, [this](int i) { change("LA", layer_->itemText(i)); });
  connect(linetype_, &QComboBox::activated, this, [this](int i) { change("LT", linetype_->itemText(i)); });
  connect(colour_, &QComboBox::activated, this, [this](int i) {
    change("C", colour_->itemText(i).section(' ', 0, 0));
  });
  connect(lineweight_, &QComboBox::activated, this, [this](int i) { change("LW", lineweight_->itemData(i).toString()); });
  connect(linetypeScale_, &QLineEdit::editingFinished, this, [this] {
    if (linetypeScale_->isModified()) change("S", linetypeScale_->text().trimmed());
    linetypeScale_->setModified(false);
  });

  connect(this, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) refresh();
  });

  layerControl_ = new LayerControl(parent);
  layerControl_->setToolTip(
      QStringLiteral("图层：选中对象时改变它们的图层，否则置为当前图层；点击图标打开或关闭、冻结或解冻、锁定或解锁图层，改变图层颜色"));
  connect(layerControl_, &LayerControl::stateClicked, this, &PropertiesPanel::layerStateClicked);
  connect(layerControl_, &QComboBox::activated, this, [this](int i) {
    if (filling_ || !atCommandPrompt() || layerControl_->rowOfItem(i) < 0) return;
    const QString name = layerControl_->itemText(i);
    if (!session_->selector().current().empty())
      change("LA", name);
    else
      console_.answer("LAYER S " + name.toStdString());  // refused for a frozen layer
  });
}

void PropertiesPanel::layerStateClicked(int row, int column) {
  if (!session_ || !atCommandPrompt() || row < 0 || static_cast<std::size_t>(row) >= session_->database().layers().size())
    return;
  const db::Layer& l = session_->database().layers()[static_cast<std::size_t>(row)];
  const std::string name = l.name;
  std::string line;
  switch (column) {
    case LayerControl::onColumn: line = app::layerIsOff(l) ? "ON " : "OFF "; break;
    case LayerControl::frozenColumn: line = app::layerIsFrozen(l) ? "T " : "F "; break;
    case LayerControl::lockedColumn: line = app::layerIsLocked(l) ? "U " : "LO "; break;
    case LayerControl::colourColumn: {
      const std::optional<int> colour = chooseColour(this, std::abs(l.color));
      if (!colour || !atCommandPrompt()) return;
      line = "C " + std::to_string(*colour) + " ";
      break;
    }
    default: return;
  }
  console_.answer("LAYER " + line + name);
}

bool PropertiesPanel::atCommandPrompt() const {
  return session_ && console_.waiting() && console_.options().atCommandPrompt();
}

void PropertiesPanel::change(const char* key, const QString& value) {
  if (filling_ || !atCommandPrompt() || value.isEmpty() || value == kVarious) return;
  if (session_->selector().current().empty()) return;
  console_.answer(std::string("CHPROP ") + key + " " + value.toStdString());
}

// The layer the selection is on (empty: several), or the current layer without one;
// looked at until a second layer shows, so that a large selection costs little.
std::string PropertiesPanel::selectionLayer() const {
  const db::Database& d = session_->database();
  const core::SelectionSet& set = session_->selector().current();
  std::optional<std::string> found;
  for (db::ObjectId id : set.ids()) {
    const db::Entity* e = d.entity(id);
    if (!e || e->isErased()) continue;
    const auto* kept = e->as<db::UnknownEntity>();
    const std::string_view layer = kept ? geom::decodeCommon(kept->tags).layer : d.name(e->layer);
    if (!found) found = std::string(layer);
    else if (*found != layer && db::foldName(*found) != db::foldName(layer)) return {};
  }
  return found ? *found : d.header.currentLayer;
}

void PropertiesPanel::refresh() {
  if (!session_) return;
  filling_ = true;
  const db::Database& d = session_->database();
  QStringList layerNames;
  std::vector<LayerControl::Row> rows;
  for (const db::Layer& l : d.layers()) {
    layerNames << qs(l.name);
    rows.push_back({qs(l.name), !app::layerIsOff(l), app::layerIsFrozen(l), app::layerIsLocked(l), std::abs(l.color)});
  }
  // The layer control: the selection's layer, or the current one.
  const std::string shown = selectionLayer();
  layerControl_->setRows(rows, shown.empty() ? -1 : static_cast<int>(d.layers().find(shown).value_or(0)));
  // The panel itself only while it shows (a selection of the whole drawing is large).
  if (!isVisible()) {
    filling_ = false;
    return;
  }
  const core::SelectionSet& set = session_->selector().current();
  std::map<std::string, int> kinds;
  std::set<std::string> layers, linetypes;
  std::set<int> colours, lineweights;
  std::set<double> scales;
  for (db::ObjectId id : set.ids()) {
    const db::Entity* e = d.entity(id);
    if (!e || e->isErased()) continue;
    ++kinds[core::kindName(d, *e)];
    if (const auto* kept = e->as<db::UnknownEntity>()) {
      const geom::CommonProps p = geom::decodeCommon(kept->tags);
      layers.insert(std::string(p.layer));
      linetypes.insert(std::string(p.linetype));
      colours.insert(p.color);
      lineweights.insert(p.lineweight);
      scales.insert(p.linetypeScale);
    } else {
      layers.insert(std::string(d.name(e->layer)));
      linetypes.insert(std::string(d.name(e->linetype)));
      colours.insert(e->color);
      const db::RawTags* extras = d.entityExtras(id);
      const geom::CommonProps p = extras ? geom::decodeCommon(*extras) : geom::CommonProps{};
      lineweights.insert(p.lineweight);
      scales.insert(p.linetypeScale);
    }
  }
  QString summary;
  std::size_t count = 0;
  for (const auto& [kind, n] : kinds) {
    summary += (summary.isEmpty() ? "" : "，") + qs(kind) + " " + QString::number(n);
    count += static_cast<std::size_t>(n);
  }
  summary_->setText(count == 0 ? QStringLiteral("未选择对象") : QStringLiteral("选中 %1 个：").arg(count) + summary);
  const bool any = count > 0;

  auto fill = [](QComboBox* box, const QStringList& items, const std::set<std::string>& values) {
    box->clear();
    box->addItems(items);
    if (values.size() > 1) {
      box->insertItem(0, kVarious);
      box->setCurrentIndex(0);
    } else if (values.size() == 1) {
      const int at = box->findText(qs(*values.begin()), Qt::MatchFixedString);
      if (at >= 0) box->setCurrentIndex(at);
      else box->setCurrentText(qs(*values.begin()));
    }
  };
  QStringList linetypeNames{QStringLiteral("ByLayer"), QStringLiteral("ByBlock")};
  for (std::size_t i = 0; i < d.linetypes().size(); ++i) {
    const QString n = qs(d.linetypes()[i].name);
    if (!linetypeNames.contains(n, Qt::CaseInsensitive)) linetypeNames << n;
  }
  fill(layer_, layerNames, layers);
  fill(linetype_, linetypeNames, linetypes);
  QStringList colourNames{QStringLiteral("BYLAYER"), QStringLiteral("BYBLOCK")};
  const char* names[] = {"红", "黄", "绿", "青", "蓝", "洋红", "白"};
  for (int c = 1; c <= 7; ++c) colourNames << QString::number(c) + " " + names[c - 1];
  std::set<std::string> colourTexts;
  for (int c : colours) {
    const QString n = colourName(c);
    const int at = colourNames.indexOf(QRegularExpression("^" + n + "( .*)?$"));
    colourTexts.insert((at >= 0 ? colourNames[at] : n).toStdString());
  }
  fill(colour_, colourNames, colourTexts);
  for (QWidget* b : {static_cast<QWidget*>(layer_), static_cast<QWidget*>(colour_), static_cast<QWidget*>(linetype_),
                     static_cast<QWidget*>(lineweight_), static_cast<QWidget*>(linetypeScale_)})
    b->setEnabled(any);
  // The lineweight's item (a weight no list holds, read from a file, shows as itself).
  if (lineweight_->count() > 3 + static_cast<int>(std::size(db::kStandardLineweights))) lineweight_->removeItem(0);
  if (any && lineweights.size() == 1) {
    const int w = *lineweights.begin();
    const int at = w == -1 ? 0 : w == -2 ? 1 : w == -3 ? 2 : lineweight_->findData(QString::number(w / 100.0, 'f', 2));
    if (at >= 0) {
      lineweight_->setCurrentIndex(at);
    } else {
      lineweight_->insertItem(0, QString::number(w / 100.0, 'f', 2) + " mm");
      lineweight_->setCurrentIndex(0);
    }
  } else {
    lineweight_->insertItem(0, any ? kVarious : QString());
    lineweight_->setCurrentIndex(0);
  }
  linetypeScale_->setText(!any ? QString() : scales.size() > 1 ? kVarious : number(*scales.begin()));
  linetypeScale_->setModified(false);
  const db::Entity* one = count == 1 && set.size() == 1 ? d.entity(set.ids().front()) : nullptr;
  geometry_->show(d, one, one ? set.ids().front() : db::ObjectId{});
  filling_ = false;
}

}  // namespace orv::window
