// Which handler of the main window each control event runs: one table that every front end
// routes its controls' events through.
#ifndef TARNWICK_SHELL_FORM1_EVENTS_H_
#define TARNWICK_SHELL_FORM1_EVENTS_H_

#include <span>
#include <string>
#include <string_view>

namespace tarnwick {

class Form1;

/// What a control reports.
enum class ControlEvent {
  kClick,   ///< a click by mouse or keyboard; for an option button, its selection
  kChange,  ///< a new text of the text box
};

/// One event of one control and the Form1 handler it runs.
struct EventRoute {
  const char* control;  ///< the control's name in the layout table
  ControlEvent event;
  /// Runs the handler; `text` is the new text for kChange and empty otherwise.
  void (*handler)(Form1& form, const std::string& text);
};

/// Every control event the main window handles, in the order of the layout table. Controls
/// that are not listed (the banner, the frames, Label3, Label5) handle none.
std::span<const EventRoute> Form1Events();

/// Runs the handler of `control`'s `event` on `form`; false when the control has none.
bool RaiseEvent(Form1& form, std::string_view control, ControlEvent event,
                const std::string& text = {});

}  // namespace tarnwick

#endif  // TARNWICK_SHELL_FORM1_EVENTS_H_
