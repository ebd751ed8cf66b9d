// Timing lines in the log for the benchmarks: when a map was first shown, how long closing took.
#pragma once

class QApplication;

/// When the environment variable BRENLO_TIMING is set, logs "first frame after N ms"
/// (counted from the start of the process) once a map window has painted for the
/// first time. With BRENLO_TIMING=close, that window is then closed, "window closed
/// in N ms" is logged once it and its map are gone, and the program ends.
void watchStartupTiming(QApplication& app);
