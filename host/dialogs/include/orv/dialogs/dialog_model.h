// The model of a dialog: its controls as a template lays them out (ids,
// classes, texts, styles, places in dialog units) and their state (checked,
// visible, enabled, the bitmap shown). Presentations, at the command line
// today and in a window later, show a model and change it as the user acts;
// the model knows none of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "orv/dialogs/bitmap.h"

namespace orv::dialogs {

// Window and control styles, with the values dialog templates use.
namespace style {
inline constexpr std::uint32_t kVisible = 0x10000000u;
inline constexpr std::uint32_t kDisabled = 0x08000000u;
inline constexpr std::uint32_t kGroup = 0x00020000u;
inline constexpr std::uint32_t kButtonTypeMask = 0x0000000Fu;
inline constexpr std::uint32_t kPushButton = 0x0u;
inline constexpr std::uint32_t kDefPushButton = 0x1u;
inline constexpr std::uint32_t kCheckBox = 0x2u;
inline constexpr std::uint32_t kAutoCheckBox = 0x3u;
inline constexpr std::uint32_t kRadioButton = 0x4u;
inline constexpr std::uint32_t kGroupBox = 0x7u;
inline constexpr std::uint32_t kAutoRadioButton = 0x9u;
inline constexpr std::uint32_t kStaticTypeMask = 0x0000001Fu;
inline constexpr std::uint32_t kStaticBitmap = 0x0000000Eu;
}  // namespace style

// A place in dialog units: left, top, width, height.
struct Rect {
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  int right() const { return x + cx; }
  int bottom() const { return y + cy; }
  bool operator==(const Rect&) const = default;
};

enum class ControlKind { pushButton, checkBox, radioButton, groupBox, picture, text, other };

struct Control {
  int id = 0;
  std::string windowClass;  // "BUTTON", "STATIC", ... as the template names it
  std::string text;         // UTF-8
  std::uint32_t style = 0;
  Rect rect;
  bool checked = false;
  bool visible = true;
  bool enabled = true;
  std::shared_ptr<const Bitmap> bitmap;  // what a picture control shows, if anything

  ControlKind kind() const;
  bool isAutoRadio() const;
  bool startsGroup() const { return (style & style::kGroup) != 0; }
};

class DialogModel {
 public:
  std::string caption;
  std::string fontName;
  int fontSize = 8;
  Rect frame;  // the dialog's size (x and y unused)
  // The dialog asked to keep the focus while it is shown.
  bool keepsFocus = false;

  // Adds a control after the others (the template's order is the tab order).
  // Visible and enabled follow its style.
  Control& add(Control control);

  std::vector<Control>& controls() { return controls_; }
  const std::vector<Control>& controls() const { return controls_; }
  // The first control of an id; null when there is none.
  Control* find(int id);
  const Control* find(int id) const;

  // The controls [first, last) of the group that holds control `index`: a
  // group starts at a control with WS_GROUP (the first control always starts
  // one) and runs up to the next such control.
  std::pair<std::size_t, std::size_t> groupOf(std::size_t index) const;

  // Checks or unchecks a button; checking an automatic radio button unchecks
  // the other automatic radio buttons of its group. False for an unknown id.
  bool setChecked(int id, bool checked);

 private:
  std::vector<Control> controls_;
};

// A control's text as shown: "&" marks the next letter as a shortcut and goes,
// "&&" stands for "&".
std::string displayText(std::string_view text);

}  // namespace orv::dialogs
