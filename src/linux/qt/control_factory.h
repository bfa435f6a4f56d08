// Makes the Qt widget of one layout row: kind, caption, geometry, font, colours, picture,
// tooltip, cursor and start state. Shared by the main window and the About box.
#ifndef TARNWICK_LINUX_QT_CONTROL_FACTORY_H_
#define TARNWICK_LINUX_QT_CONTROL_FACTORY_H_

#include "shell/layout.h"

class QWidget;

namespace tarnwick {

/// A new child of `parent` for `row` at `dpi`: labels and picture boxes are ClickLabels, frames
/// EtchedFrames (QGroupBoxes), option buttons QRadioButtons, text boxes QLineEdits, command
/// buttons with a picture QToolButtons (picture above the caption), others QPushButtons. The
/// objectName is the row's name; labels and frames take no focus.
QWidget* MakeControl(const ControlRow& row, const WindowFacts& window, int dpi, QWidget* parent);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_CONTROL_FACTORY_H_
