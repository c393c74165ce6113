// The properties panel (特性, docked at the left) and the tool bar's layer control: what
// the selection is and its colour, layer, linetype, lineweight and linetype scale, each changeable for all of it as
// one step of UNDO (through CHPROP, so that the transcript and recovery see it); the
// current layer chosen from the tool bar (through LAYER S, which refuses a frozen one).
#pragma once

#include <QDockWidget>

#include <string>

#include "session.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace orv::window {

class GeometryEditor;
class LayerControl;
class WindowConsole;

class PropertiesPanel final : public QDockWidget {
  Q_OBJECT

 public:
  PropertiesPanel(app::Session& session, WindowConsole& console, QWidget* parent);
  void sessionGone() { session_ = nullptr; }

  // Shows the selection and the drawing's layers and linetypes as they are now.
  void refresh();
  // The tool bar's layer control: the current layer, or the selection's when it has one.
  LayerControl& layerControl() const { return *layerControl_; }

  QLabel& summary() const { return *summary_; }
  QComboBox& layer() const { return *layer_; }
  QComboBox& colour() const { return *colour_; }
  QComboBox& linetype() const { return *linetype_; }
  // One selected entity's geometry, each field changeable (CHGEOM).
  GeometryEditor& geometry() const { return *geometry_; }
  QComboBox& lineweight() const { return *lineweight_; }
  QLineEdit& linetypeScale() const { return *linetypeScale_; }

 private:
  // A change of the selection's property `key` (C, LA, LT, LW, S) to `value`.
  void change(const char* key, const QString& value);
  bool atCommandPrompt() const;
  std::string selectionLayer() const;
  // A state icon or the colour of a layer clicked in the layer control: LAYER's
  // one-line form switches it (the colour asked from a menu first).
  void layerStateClicked(int row, int column);

  app::Session* session_;
  WindowConsole& console_;
  QLabel* summary_;
  QComboBox* layer_;
  QComboBox* colour_;
  QComboBox* linetype_;
  QComboBox* lineweight_;
  QLineEdit* linetypeScale_;
  GeometryEditor* geometry_;
  LayerControl* layerControl_;
  bool filling_ = false;  // the boxes are being filled, not chosen
};

}  // namespace orv::window
