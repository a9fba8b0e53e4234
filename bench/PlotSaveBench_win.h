#pragma once
// Saving the plot of a long profile: a PNG of 2,000 x 1,200 pixels drawn and encoded, and
// the size of its enhanced metafile, against the full repaint of the dialog's panel.

// The saved picture's size in pixels.
constexpr int ExportWidth = 2000;
constexpr int ExportHeight = 1200;

// The repaints are measured by the dialog's benchmark in the same run: the panel at the
// dialog's own size, and (when the screen holds it; otherwise 0) at the saved picture's size.
void MeasurePlotSave(int repetitions, double fullRepaint, double exportSizedRepaint);
