#include "shell/accessibility.h"

namespace tarnwick {
namespace {

using enum AccessibleRole;

// The command buttons are drawn by the program (all but Command1, whose caption "..." says
// nothing), so it says what they are. Text1's label is created after every control, where the
// systems that name a text box by the label before it never look. The About box's icon is no
// row: it takes no focus (ControlFlag kNoTabStop).
// clang-format off
constexpr AccessibleRow kRows[] = {
  {"Form1", "Command7", kPushButton, nullptr, nullptr},
  {"Form1", "Text1", kSystem, nullptr, "Label3"},
  {"Form1", "Command1", kPushButton, "Browse for the browser's program", nullptr},
  {"Form1", "Command2", kPushButton, nullptr, nullptr},
  {"Form1", "Command5", kPushButton, nullptr, nullptr},
  {"Form1", "Command3", kPushButton, nullptr, nullptr},
  {"Form1", "Command4", kPushButton, nullptr, nullptr},
  {"Form1", "Picture1", kLink, "Donate (via PayPal)", nullptr},
};
// clang-format on

}  // namespace

std::span<const AccessibleRow> AccessibleControls() { return kRows; }

const AccessibleRow* FindAccessible(std::string_view window, std::string_view control) {
  for (const AccessibleRow& row : kRows) {
    if (window == row.window && control == row.control) return &row;
  }
  return nullptr;
}

std::string AccessibleName(const WindowFacts& window, std::span<const ControlRow> rows,
                           const ControlRow& row) {
  const AccessibleRow* facts = FindAccessible(window.name, row.name);
  if (facts && facts->name) return facts->name;
  if (facts && facts->labelled_by) {
    if (const ControlRow* label = FindControl(rows, facts->labelled_by)) {
      return DisplayCaption(label->caption);
    }
  }
  return DisplayCaption(row.caption);
}

const char* DefaultAction(AccessibleRole role) {
  switch (role) {
    case kPushButton:
      return "Press";
    case kLink:
      return "Jump";
    case kSystem:
      break;
  }
  return nullptr;
}

}  // namespace tarnwick
