// A probe for scripted runs: reports the first window the program paints, then ends the run.
#ifndef TARNWICK_LINUX_QT_FIRST_PAINT_PROBE_H_
#define TARNWICK_LINUX_QT_FIRST_PAINT_PROBE_H_

class QApplication;

namespace tarnwick {

/// When the environment variable TARNWICK_FIRST_PAINT is set and not empty, watches `app`
/// for the first paint of a top-level window; once that paint pass (its children included) is
/// over, prints one line to standard output,
/// "painted WIDTHxHEIGHT TITLE: TEXT" (TEXT being a message box's text, else empty), and makes
/// every event loop return, so that a message box returns and the program ends as it would
/// after the user's answer. Does nothing otherwise. The start-up benchmark and the damaged-hive
/// check run the program this way.
void InstallFirstPaintProbe(QApplication& app);

}  // namespace tarnwick

#endif  // TARNWICK_LINUX_QT_FIRST_PAINT_PROBE_H_
