// Dialogs and questions of the window: a dialog model laid out as its template places
// it (dialog units turned into pixels by the dialog font), questions and alerts as
// message boxes.
#pragma once

#include <QDialog>
#include <QFont>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>
#include <string>
#include <map>

#include "orv/dialogs/presenter.h"

namespace orv::window {

// Dialog units to pixels by a font, as the templates' platform does: the base units are
// the font's average width of the Latin letters and its height; x·baseX/4, y·baseY/8.
struct DialogUnits {
  int baseX = 6;
  int baseY = 13;
  static DialogUnits of(const QFont& font);
  QRect toPixels(const dialogs::Rect& r) const;
  QSize size(int cx, int cy) const;
};

// The font a model asks for, as far as the machine has it, at the model's point size.
QFont dialogFont(const dialogs::DialogModel& model);

// A model shown as a dialog; its controls change the model as the user uses them.
class ModelDialog final : public QDialog {
  Q_OBJECT

 public:
  ModelDialog(dialogs::DialogModel& model, QWidget* parent = nullptr);
  // The widget of a control id (null when there is none shown).
  QWidget* control(int id) const;
  const DialogUnits& units() const { return units_; }

 private:
  // A click on a picture frame chooses its slot's radio button; a double click chooses
  // it and presses OK.
  void bindPictures();
  dialogs::DialogModel& model_;
  DialogUnits units_;
  std::vector<std::pair<int, QWidget*>> widgets_;
  std::map<std::size_t, QWidget*> byIndex_;  // by the model's control index
};

class QtPresenter final : public dialogs::Presenter {
 public:
  dialogs::Presented present(dialogs::DialogModel& model) override;
  std::size_t choose(const dialogs::Question& question) override;

  // The window dialogs and boxes belong to (null: none).
  QWidget* parent = nullptr;
  // Called with each dialog or box before it runs (tests press its buttons from here).
  std::function<void(QWidget*)> shown;
  // Called after a dialog or box closes, before the command goes on.
  std::function<void()> closed;
  // A question the window asked ahead of the command that asks it (OPEN from the menu
  // asks about unsaved changes before its file dialog): the next question, when it has
  // the same prompt, takes this answer without being shown. One question only.
  struct Answered {
    std::string prompt;
    std::size_t answer = 0;
  };
  std::optional<Answered> answeredAhead;
};

// An alert or message box with an OK button, modal.
void showAlert(QWidget* parent, const QString& text, const std::function<void(QWidget*)>& shown = {});

}  // namespace orv::window
