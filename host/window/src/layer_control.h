// The tool bar's layer control: a list of the drawing's layers, each row with its on,
// frozen and locked states and its colour drawn as small icons that a click switches,
// and its name that a click chooses. What a click means is the owner's (signals).
#pragma once

#include <QComboBox>
#include <QPixmap>

#include <optional>
#include <vector>

namespace orv::window {

// The icon of a layer state or of its colour, drawn (nothing is fetched).
enum class LayerIcon { on, frozen, locked, colour };
QPixmap layerIcon(LayerIcon kind, bool state, int colour = 7);
// An AutoCAD colour index as the window shows it (7: white on the dark view, drawn
// black on white in lists).
QColor aciToColor(int index);
// A colour chosen from a menu of the standard ones at the cursor, or typed as a number
// (1-255); nullopt when none was.
std::optional<int> chooseColour(QWidget* parent, int now);

class LayerControl final : public QComboBox {
  Q_OBJECT

 public:
  struct Row {
    QString name;
    bool on = true;
    bool frozen = false;
    bool locked = false;
    int colour = 7;
  };
  // The places of a row, from the left: the three states, the colour, the name.
  enum Column { onColumn, frozenColumn, lockedColumn, colourColumn, nameColumn };
  static constexpr int kCell = 20;

  explicit LayerControl(QWidget* parent);

  // The rows shown, and the one the closed control shows (-1: "*多种*" above them).
  void setRows(const std::vector<Row>& rows, int shown);
  const std::vector<Row>& rows() const { return rows_; }
  // The row of the list an item of the combo box stands for (-1: none, "*多种*").
  int rowOfItem(int item) const;
  // Where a row's column lies in the open list's viewport (for tests).
  QRect cellRect(int row, Column column) const;

 signals:
  // A state icon (on, frozen, locked) or the colour of a row was clicked in the open list.
  void stateClicked(int row, int column);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<Row> rows_;
  bool various_ = false;
};

}  // namespace orv::window
