// The geometry of one selected entity in the properties panel: a line's ends, a circle's
// centre and radius, an arc's angles, a polyline's vertices (one at a time, chosen by its
// number) and closed flag, a block reference's position, scales and rotation, a text's
// contents and height, a hatch's pattern, scale and angle, a leader's vertex count,
// arrow, path type, dimension style and annotation (arrow and path type changeable).
// An edited field says its change as CHGEOM's one-line form.
#pragma once

#include <QWidget>

#include <optional>
#include <string>
#include <vector>

#include "orv/db/database.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace orv::window {

class GeometryEditor final : public QWidget {
  Q_OBJECT

 public:
  explicit GeometryEditor(QWidget* parent);

  // Shows `entity` (of `id`), or nothing.
  void show(const db::Database& d, const db::Entity* entity, db::ObjectId id);
  // The field of a key ("RADIUS", "VERTEX", ...); null when it is not shown.
  QLineEdit* field(const std::string& key) const;
  QSpinBox* vertexChooser() const { return vertex_; }
  QCheckBox* closedBox() const { return closed_; }
  // A choice ("ARROW", "PATH") or a value shown only ("VERTICES", "DIMSTYLE",
  // "ANNOTATION"); null when it is not shown.
  QComboBox* choice(const std::string& key) const;
  QLabel* shownValue(const std::string& key) const;

 signals:
  // A field was changed: "RADIUS 5", "VERTEX 2 10, 20", "CLOSED Y".
  void changed(const QString& keyAndValue);

 private:
  struct Field {
    std::string key;
    QLineEdit* edit;
    QString shown;
  };
  struct Choice {
    std::string key;
    QComboBox* box;
    std::vector<QString> values;  // what CHGEOM is told for each item
  };
  void clear();
  QLineEdit* add(const QString& label, const std::string& key, const QString& value);
  // A row that only shows a value.
  void addShown(const QString& label, const std::string& key, const QString& value);
  // A row choosing one of `items` (told as `values`), `current` chosen.
  void addChoice(const QString& label, const std::string& key, const std::vector<QString>& items,
                 const std::vector<QString>& values, int current);
  void showVertex();

  QFormLayout* form_;
  std::vector<Field> fields_;
  std::vector<Choice> choices_;
  std::vector<std::pair<std::string, QLabel*>> shown_;
  QSpinBox* vertex_ = nullptr;
  QCheckBox* closed_ = nullptr;
  std::vector<db::Point2> vertices_;
  std::optional<db::ObjectId> shownId_;
  int shownKind_ = -1;
  std::string shownType_;
  bool filling_ = false;
};

}  // namespace orv::window
