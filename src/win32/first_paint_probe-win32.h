// A probe for scripted runs: reports the program's first painted window, then ends the run.
#ifndef TARNWICK_WIN32_FIRST_PAINT_PROBE_WIN32_H_
#define TARNWICK_WIN32_FIRST_PAINT_PROBE_WIN32_H_

#include "win32/windows-win32.h"

namespace tarnwick {

/// When the environment variable TARNWICK_FIRST_PAINT is set and not empty: paints at once
/// whatever of the shown `window` and its child windows is still waiting to be painted, then
/// writes one line to standard output, "painted WIDTHxHEIGHT TITLE" (the client area in
/// pixels, the title in UTF-8), and returns true; the caller then ends the program as closing
/// the window would. Returns false and does nothing otherwise, or when `window` is null. The
/// start-up benchmark under Wine runs the program and its bare yardstick window this way.
bool ReportFirstPaint(HWND window);

}  // namespace tarnwick

#endif  // TARNWICK_WIN32_FIRST_PAINT_PROBE_WIN32_H_
