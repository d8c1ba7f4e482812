// The skinning library veneer: one style sheet, loaded once from the program
// folder's resources and applied to every window handed to it.
#pragma once

class QWidget;

extern "C" {

// Loads the style sheet `skinName` (program folder + "/resources/" +
// skinName + ".qss"). The two numbers are kept for the callers' sake and
// change nothing. Returns 1 when the sheet was loaded, 0 otherwise; the
// program relies on neither.
int QVS_InitSkin(int reserved1, int reserved2, const char* skinName);

// Applies the loaded style sheet to `window` and the windows it will own.
// Returns 1 when a sheet was applied, 0 when none is loaded or `window` is null.
int QVS_AddFilterHook(QWidget* window);
}
