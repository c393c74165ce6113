// 文件 ▸ 打印: PLOT's choices in a dialog with a preview of the sheet, plotted through PLOT's one-line form;
// its window's corners picked in the drawing by PLOTWINDOW at the command line.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPointer>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "orv/render/layout.h"
#include "plot_command.h"
#include "plot_setup.h"
#include "session.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTimer;

namespace orv::window {

class WindowConsole;

class PlotDialog final : public QDialog {
  Q_OBJECT

 public:
  // What exec() returns when 选择窗口< was pressed: the dialog hides while the window's
  // two corners are picked in the drawing, and comes back with them.
  static constexpr int kPickWindow = 2;

  // The choices PLOT offers the session's drawing first (its page setup, else the last
  // PLOT's, else its frame's). Corners are picked in the drawing only through `console`,
  // while it waits at the command prompt.
  PlotDialog(app::Session& session, QWidget* parent = nullptr, const WindowConsole* console = nullptr);

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
  // 窗口 with these corners (as picked), each as the shortest text that reads back to it;
  // the preview shows the area at once.
  void setWindowCorners(const prompt::Point3& first, const prompt::Point3& second);

  // The controls, for those who drive the dialog.
  QComboBox& format() const { return *format_; }
  QComboBox& paper() const { return *paper_; }
  QComboBox& orientation() const { return *orientation_; }
  QComboBox& area() const { return *area_; }
  QComboBox& layout() const { return *layout_; }
  QLineEdit& corner1() const { return *corner1_; }
  QLineEdit& corner2() const { return *corner2_; }
  QPushButton& pickWindow() const { return *pick_; }
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
  // 选择窗口<: the dialog closes as kPickWindow, or says why the corners cannot be picked now.
  void pickClicked();
  std::optional<render::Extents> shown() const;

  app::Session& session_;
  const WindowConsole* console_;
  std::vector<render::LayoutSheet> layouts_;
  QComboBox* format_;
  QComboBox* paper_;
  QComboBox* orientation_;
  QComboBox* area_;
  QComboBox* layout_;
  QLineEdit* corner1_;
  QLineEdit* corner2_;
  QPushButton* pick_;
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

// 文件 ▸ 打印 in the window: the dialog over `parent`; its OK plots through PLOT at the
// command prompt (a command that waits is cancelled first). 选择窗口< hides it and answers
// the command prompt with PLOTWINDOW, which asks the two corners as any point prompt
// does, clicked, snapped or typed; when it ends the dialog comes back, with the corners
// unless they were cancelled (a PLOTWINDOW typed opens the dialog with its corners).
class PlotDialogs final : public QObject {
 public:
  static constexpr const char* kPickCommand = "PLOTWINDOW";

  PlotDialogs(QWidget* parent, app::Session& session, WindowConsole& console);
  ~PlotDialogs() override;
  // 文件 ▸ 打印 (Ctrl+P). While corners are being picked, the picking is cancelled instead
  // and the dialog comes back.
  void open();
  void sessionGone();

 private:
  // Runs the dialog until it closes: plotted, cancelled or hidden for picking.
  void show();
  // After PLOTWINDOW, at the command prompt: the dialog with the corners picked.
  void back(const std::optional<app::PlotCorners>& corners);
  void drop();

  QWidget* parent_;
  app::Session* session_;
  WindowConsole& console_;
  QPointer<PlotDialog> dialog_;  // while open, or hidden while its corners are picked
  bool picking_ = false;
};

}  // namespace orv::window
