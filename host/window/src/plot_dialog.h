// 文件 ▸ 打印: PLOT's choices in a dialog with a preview of the sheet, plotted through PLOT's one-line form.
#pragma once

#include <QDialog>
#include <QImage>

#include <optional>
#include <string>
#include <vector>

#include "orv/render/layout.h"
#include "plot_setup.h"
#include "session.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimer;

namespace orv::window {

class WindowConsole;

class PlotDialog final : public QDialog {
  Q_OBJECT

 public:
  // The choices PLOT offers the session's drawing first (its page setup, else the last
  // PLOT's, else its frame's).
  PlotDialog(app::Session& session, QWidget* parent = nullptr);

  // The choices as the controls give them; nullopt with the reason in `why`.
  std::optional<app::PlotChoices> choices(std::string& why) const;
  // The file the sheet goes to.
  std::string file() const;
  // What OK runs at the command prompt: "PLOT " and the choices on one line.
  std::optional<std::string> commandLine() const;
  // The preview as last drawn: the sheet, white, in the middle of a grey field.
  const QImage& preview() const { return preview_; }
  // Draws the preview again now (it follows every change a moment later by itself).
  void refreshPreview();

  // The controls, for those who drive the dialog.
  QComboBox& format() const { return *format_; }
  QComboBox& paper() const { return *paper_; }
  QComboBox& orientation() const { return *orientation_; }
  QComboBox& area() const { return *area_; }
  QComboBox& layout() const { return *layout_; }
  QLineEdit& corner1() const { return *corner1_; }
  QLineEdit& corner2() const { return *corner2_; }
  QComboBox& scale() const { return *scale_; }
  QCheckBox& centred() const { return *centred_; }
  QLineEdit& offset() const { return *offset_; }
  QComboBox& pens() const { return *pens_; }
  QSpinBox& dpi() const { return *dpi_; }
  QLineEdit& fileEdit() const { return *file_; }
  QLabel& problem() const { return *problem_; }
  QDialogButtonBox& buttons() const { return *buttons_; }

  static constexpr int kPreviewWidth = 420;
  static constexpr int kPreviewHeight = 300;
  static constexpr int kPreviewBorder = 10;  // grey pixels at least around the sheet

 private:
  void fill(const app::PlotChoices& c);
  void changed();
  void chooseFile();
  std::optional<render::Extents> shown() const;

  app::Session& session_;
  std::vector<render::LayoutSheet> layouts_;
  QComboBox* format_;
  QComboBox* paper_;
  QComboBox* orientation_;
  QComboBox* area_;
  QComboBox* layout_;
  QLineEdit* corner1_;
  QLineEdit* corner2_;
  QComboBox* scale_;
  QCheckBox* centred_;
  QLineEdit* offset_;
  QComboBox* pens_;
  QSpinBox* dpi_;
  QLineEdit* file_;
  QLabel* previewLabel_;
  QLabel* problem_;
  QDialogButtonBox* buttons_;
  QTimer* later_;
  QImage preview_;
  std::string offeredFile_;
  app::PlotArea lastArea_ = app::PlotArea::extents;  // the file offered for the output chosen, until the user types one
};

// Opens the dialog over `parent`; OK plots through PLOT at the command prompt (a command
// that waits is cancelled first).
void showPlotDialog(QWidget* parent, app::Session& session, WindowConsole& console);

}  // namespace orv::window
