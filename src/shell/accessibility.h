// What a screen reader is told about the controls of both windows beyond what each toolkit's
// own objects say: a name where the caption does not say what a control does, the label that
// names a text box, and what the controls that the program draws itself are. Both front ends
// read this table; a control's description is its tooltip in the layout table.
#ifndef TARNWICK_SHELL_ACCESSIBILITY_H_
#define TARNWICK_SHELL_ACCESSIBILITY_H_

#include <span>
#include <string>
#include <string_view>

#include "shell/layout.h"

namespace tarnwick {

/// What a control is to a screen reader.
enum class AccessibleRole {
  kSystem,      ///< whatever the toolkit's own object says
  kPushButton,  ///< a push button: its default action presses it
  kLink,        ///< a link: its default action opens its page, as a click does
};

/// One control the program answers for.
struct AccessibleRow {
  const char* window;   ///< WindowFacts::name of its window
  const char* control;  ///< its name in that window's layout table
  AccessibleRole role;
  const char* name;         ///< what it is called; null: its caption says it
  const char* labelled_by;  ///< the label whose caption names it; null: none
};

/// Every control of both windows that the program answers for, in layout order.
std::span<const AccessibleRow> AccessibleControls();

/// The row of `control` in `window`, or null: the toolkit's own object says all there is.
const AccessibleRow* FindAccessible(std::string_view window, std::string_view control);

/// The name a screen reader says for `row` of the window `window` whose table is `rows`: the
/// accessibility table's name, else the caption of the label that names it, else its caption
/// as displayed ("" for none).
std::string AccessibleName(const WindowFacts& window, std::span<const ControlRow> rows,
                           const ControlRow& row);

/// The system's word for the default action of `role`: "Press" for a push button, "Jump" for a
/// link; null for kSystem.
const char* DefaultAction(AccessibleRole role);

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_ACCESSIBILITY_H_
