// The programs and pages the window opens: the help page, the media player,
// the disc burner, the product's pages. Documents, folders and addresses go
// to the desktop's handler (xdg-open); companion programs are started from
// the program folder. Nothing waits for them, and a program or handler that
// is missing fails silently.
#pragma once

#include <string>
#include <vector>

namespace kinolux {

inline constexpr const char* kDesktopOpener = "xdg-open";
inline constexpr const char* kHelpPageName = "kinolux.html";
inline constexpr const char* kMediaPlayerName = "qvs";
inline constexpr const char* kDiscBurnerName = "Disc Forge";
inline constexpr const char* kProductHomePage = "https://www.qorvane.com/kinolux/";

// Hands a file, folder or web address to the desktop; false when the
// handler could not be started.
bool OpenWithDesktop(const std::string& target);

// Starts program folder + "/" + `name` with `arguments`; false when it could
// not be started.
bool StartCompanionProgram(const std::string& name, const std::vector<std::string>& arguments = {});

// The help page of the program folder, "#section" for a part of it.
std::string HelpPageAddress(const std::string& section = "");

void OpenHelpPage();
void StartMediaPlayer();
void StartDiscBurner();
void OpenProductHomePage();
// The help page's section on burning Blu-ray discs.
void OpenBluRayBurningPage();

}  // namespace kinolux
