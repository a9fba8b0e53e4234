#pragma once
// Saving the plot of a long profile: a PNG of 2,000 x 1,200 pixels drawn and encoded, and
// the size of its enhanced metafile, against the full repaint of the dialog's panel.

// The repaint is measured by the dialog's benchmark in the same run.
void MeasurePlotSave(int repetitions, double fullRepaint);
