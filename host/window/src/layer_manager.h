// 格式 ▸ 图层: the layer manager, a window beside the drawing listing every layer (name,
// on, frozen, locked, colour, linetype, lineweight, plotted) where a click changes one
// of them and new layers are made. Each change is LAYER's one-line form at the command
// prompt, one step of UNDO that the transcript and recovery see.
#pragma once

#include <QDialog>

#include <string>

#include "session.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace orv::window {

class WindowConsole;

class LayerManager final : public QDialog {
  Q_OBJECT

 public:
  // The table's columns.
  enum Column { currentColumn, nameColumn, onColumn, frozenColumn, lockedColumn, colourColumn, linetypeColumn,
                lineweightColumn, plotColumn, columnCount };

  LayerManager(app::Session& session, WindowConsole& console, QWidget* parent);
  void sessionGone() { session_ = nullptr; }

  // Shows the drawing's layers as they are now.
  void refresh();

  QTableWidget& table() const { return *table_; }
  QLineEdit& newName() const { return *newName_; }
  QPushButton& newButton() const { return *newButton_; }
  QPushButton& currentButton() const { return *currentButton_; }
  // Why the last click did nothing (a command runs), or empty.
  QLabel& note() const { return *note_; }

 private:
  void cellClicked(int row, int column);
  void makeLayer();
  void makeCurrent();
  // LAYER's one-line form at the command prompt; false (with a note) while a command runs.
  bool layer(const std::string& line);
  std::string nameOf(int row) const;

  app::Session* session_;
  WindowConsole& console_;
  QTableWidget* table_;
  QLineEdit* newName_;
  QPushButton* newButton_;
  QPushButton* currentButton_;
  QLabel* note_;
};

}  // namespace orv::window
