// Controls of a dialog, their groups and their checks.
#include "orv/dialogs/dialog_model.h"

#include <algorithm>
#include <cctype>

namespace orv::dialogs {

namespace {

bool classIs(const std::string& windowClass, std::string_view name) {
  return std::equal(windowClass.begin(), windowClass.end(), name.begin(), name.end(), [](char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
  });
}

}  // namespace

ControlKind Control::kind() const {
  if (classIs(windowClass, "BUTTON")) {
    switch (style & style::kButtonTypeMask) {
      case style::kPushButton:
      case style::kDefPushButton: return ControlKind::pushButton;
      case style::kCheckBox:
      case style::kAutoCheckBox:
      case 0x5u:  // three-state
      case 0x6u: return ControlKind::checkBox;
      case style::kRadioButton:
      case style::kAutoRadioButton: return ControlKind::radioButton;
      case style::kGroupBox: return ControlKind::groupBox;
      default: return ControlKind::other;
    }
  }
  if (classIs(windowClass, "STATIC"))
    return (style & style::kStaticTypeMask) == style::kStaticBitmap ? ControlKind::picture : ControlKind::text;
  return ControlKind::other;
}

bool Control::isAutoRadio() const {
  return classIs(windowClass, "BUTTON") && (style & style::kButtonTypeMask) == style::kAutoRadioButton;
}

Control& DialogModel::add(Control control) {
  control.visible = (control.style & style::kVisible) != 0;
  control.enabled = (control.style & style::kDisabled) == 0;
  controls_.push_back(std::move(control));
  return controls_.back();
}

Control* DialogModel::find(int id) {
  auto it = std::find_if(controls_.begin(), controls_.end(), [id](const Control& c) { return c.id == id; });
  return it == controls_.end() ? nullptr : &*it;
}

const Control* DialogModel::find(int id) const { return const_cast<DialogModel*>(this)->find(id); }

std::pair<std::size_t, std::size_t> DialogModel::groupOf(std::size_t index) const {
  if (index >= controls_.size()) return {index, index};
  std::size_t first = index;
  while (first > 0 && !controls_[first].startsGroup()) --first;
  std::size_t last = index + 1;
  while (last < controls_.size() && !controls_[last].startsGroup()) ++last;
  return {first, last};
}

bool DialogModel::setChecked(int id, bool checked) {
  Control* c = find(id);
  if (!c) return false;
  c->checked = checked;
  if (checked && c->isAutoRadio()) {
    const auto index = static_cast<std::size_t>(c - controls_.data());
    auto [first, last] = groupOf(index);
    for (std::size_t i = first; i < last; ++i)
      if (i != index && controls_[i].isAutoRadio()) controls_[i].checked = false;
  }
  return true;
}

std::string displayText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

}  // namespace orv::dialogs
