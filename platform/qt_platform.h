// Chooses Qt's platform before the application object exists: the offscreen
// platform when there is no display to draw on, or in console mode, where
// windows must exist and work without ever being shown.
#pragma once

namespace kinolux {

bool HasDisplay();

// Sets QT_QPA_PLATFORM to "offscreen" when there is no display or when
// `consoleMode` is set; leaves a platform the user chose alone otherwise.
// Returns true when the offscreen platform is in force.
bool SelectQtPlatform(bool consoleMode);

// Qt's own notices (missing runtime folders, font fallbacks...) are for
// developers: they go to the debugger output (standard error only with
// KINOLUX_DEBUG set) instead of cluttering a console conversion.
void RouteQtMessagesToDebugOutput();

}  // namespace kinolux
