// Showing the result of a run in the file manager: the folder of an image
// sequence or a Blu-ray folder, otherwise the output file selected in its
// folder (the file manager's ShowItems over D-Bus where the session bus
// offers one, else its folder opened).
#pragma once

#include <string>

class QDBusConnection;

namespace kinolux {

struct ShowResultAction {
    enum Kind { OpenFolder, SelectFile };
    Kind kind = SelectFile;
    std::string path;

    bool operator==(const ShowResultAction&) const = default;
};

// Outputs with the extension JPG, BMP, TIF, TGA, PNG or TS (any case) are
// folders named like the output without its extension: that folder when it
// can be listed, else the output selected.
ShowResultAction ChooseShowResult(const std::string& lastOutputPath);

// Selects the file in the file manager of `bus`; where that bus has no file
// manager (or it fails), opens the file's folder with the desktop instead.
void ShowFileSelected(const std::string& path, const QDBusConnection& bus);

// After a run of the window interface; nothing in console mode.
void ShowResult(const std::string& lastOutputPath);

}  // namespace kinolux
