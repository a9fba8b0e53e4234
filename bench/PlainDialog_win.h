#pragma once
// The baseline of the window alone: a dialog with the profile dialog's controls, made
// straight from Win32 calls with no framework.

// Seconds from the first call until its first plot is on the screen; the dialog is then
// closed. Runs its own modal loop, as the profile dialog does.
double OpenPlainDialog();
