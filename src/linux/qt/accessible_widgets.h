// What Qt's accessibility bridge (AT-SPI on Linux) is told beyond what Qt's own widget objects
// say: the main window is a frame, and a picture that is a link is a link that can be pressed.
#ifndef TARNWICK_LINUX_QT_ACCESSIBLE_WIDGETS_H_
#define TARNWICK_LINUX_QT_ACCESSIBLE_WIDGETS_H_

namespace tarnwick {

/// Installs the program's accessible objects; once per process, any later call does nothing.
/// Must run before a window is built: Qt keeps the first object it made for a widget. A widget
/// is recognised by its objectName and its window's, from the layout and accessibility tables.
void InstallAccessibleWidgets();

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_ACCESSIBLE_WIDGETS_H_
