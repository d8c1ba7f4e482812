// The window the program opens until its main window exists.
#pragma once

namespace kinolux {

// Runs a plain dialog with the product's name modally; returns when the
// user closes it.
void RunPlaceholderWindow();

}  // namespace kinolux
