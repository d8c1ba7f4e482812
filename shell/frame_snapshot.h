// The picture the preview's capture button saves: the frame the preview
// shows, grabbed from the capture window at the size the user chose
// (rounded up to multiples of 16) on the task's background, or with an
// alpha channel worked out from grabs on black and on white. It is written
// as a BMP into the default output folder, named after the movie and the
// frame, and, with alpha, as a PNG beside it.
#pragma once

#include "capture/color_ref.h"

#include <QSize>
#include <optional>
#include <string>

namespace kinolux {

class MovieWindow;

struct SnapshotRequest {
    std::string moviePath;
    COLORREF background = 0xFFFFFF;  // 0x00BBGGRR, for a picture without alpha
    long frame = 0;                  // 0-based
    int width = 0;                   // as chosen; rounded up here
    int height = 0;
    bool alpha = false;
    std::string folder;  // the default output folder, ending in "/"
};

struct SnapshotFiles {
    std::string bmp;
    std::string png;  // empty without alpha
};

// Sides rounded up to multiples of 16, as the picture is grabbed.
QSize SnapshotSize(int width, int height);

// The file names for `frame` of the movie: folder + the movie's name
// without its extension + "_" + the frame + ".bmp" (and ".png"). A name
// that exists already is never written over: " (1)", " (2)" and so on
// are added before the extension until both names are free.
SnapshotFiles SnapshotNames(const std::string& folder, const std::string& moviePath, long frame, bool alpha);

// Loads the movie into the capture window on a standing clock (so it plays
// neither on nor aloud), grabs the frame, writes the files and empties the
// window again. Nothing, with `error` saying why, when no picture could be
// grabbed or written; no file is left half written.
std::optional<SnapshotFiles> SaveFrameSnapshot(MovieWindow& window, const SnapshotRequest& request, std::string& error);

}  // namespace kinolux
