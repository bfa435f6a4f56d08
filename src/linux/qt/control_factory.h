// Makes the Qt widget of one layout row: kind, caption, geometry, font, colours, picture,
// tooltip, cursor, start state and what a screen reader is told of it. Shared by the main window
// and the About box.
#ifndef TARNWICK_LINUX_QT_CONTROL_FACTORY_H_
#define TARNWICK_LINUX_QT_CONTROL_FACTORY_H_

#include <map>
#include <string>

#include "shell/layout.h"

class QWidget;

namespace tarnwick {

/// A new child of `parent` for `row` at `dpi`: labels and picture boxes are ClickLabels, frames
/// EtchedFrames (QGroupBoxes), option buttons QRadioButtons, text boxes QLineEdits, command
/// buttons with a picture QToolButtons (picture above the caption), others QPushButtons. The
/// objectName is the row's name; labels, frames and kNoTabStop pictures take no focus. The
/// tooltip is also the accessible description; a name from the accessibility table is the
/// accessible name.
QWidget* MakeControl(const ControlRow& row, const WindowFacts& window, int dpi, QWidget* parent);

/// Makes each label that names a control in the accessibility table that control's buddy, so
/// that the control takes its accessible name from the label. `controls` maps the table's names
/// to the window's widgets.
void SetBuddies(const WindowFacts& window, const std::map<std::string, QWidget*>& controls);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_CONTROL_FACTORY_H_
