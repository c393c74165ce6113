// 格式 ▸ 图层: the layer manager, a window beside the drawing listing every layer (name,
// on, frozen, locked, colour, linetype, lineweight, plotted) where a click changes one
// of them, new layers are made, a layer is renamed by editing its name (F2, or a click
// on the selected name) and an unused one deleted. Each change is LAYER's one-line form at the command
// prompt, one step of UNDO that the transcript and recovery see.
#pragma once

#include <QDialog>

#include <string>

#include "session.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

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
  QPushButton& deleteButton() const { return *deleteButton_; }
  // Why the last click did nothing (a command runs, or LAYER refused it), or empty.
  QLabel& note() const { return *note_; }

 private:
  void cellClicked(int row, int column);
  void makeLayer();
  void makeCurrent();
  void deleteLayer();
  // The name cell of `item` edited: LAYER R, or the old name put back.
  void nameEdited(QTableWidgetItem* item);
  // LAYER's one-line form at the command prompt; false (with a note) while a command runs.
  bool layer(const std::string& line);
  std::string nameOf(int row) const;

  app::Session* session_;
  WindowConsole& console_;
  QTableWidget* table_;
  QLineEdit* newName_;
  QPushButton* newButton_;
  QPushButton* currentButton_;
  QPushButton* deleteButton_;
  bool filling_ = false;  // refresh() is filling the table: its edits are not the user's
  QLabel* note_;
  // What LAYER printed for the last change, gathered until the command prompt is back.
  bool listening_ = false;
  QString heard_;
  QString echo_;  // the command line itself, which the transcript repeats
};

}  // namespace orv::window
