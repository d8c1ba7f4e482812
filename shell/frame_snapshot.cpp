#include "shell/frame_snapshot.h"

#include "capture/call_interceptor.h"
#include "capture/movie_window.h"
#include "engine/cx_image.h"
#include "engine/two_background_alpha.h"
#include "platform/paths.h"

#include <filesystem>
#include <memory>

namespace kinolux {

namespace {

constexpr int kSideMultiple = 16;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

// The dialog allows sides up to 16384, so nothing overflows; a side that is
// no size stays one, and the grab refuses it.
int RoundUpToMultiple(int side) { return side > 0 ? (side + kSideMultiple - 1) / kSideMultiple * kSideMultiple : side; }

bool GrabInto(MovieWindow& window, long frame, QSize size, CxImage& image) {
    std::unique_ptr<QImage> bitmap = window.GrabFrameAt(static_cast<int>(frame), 0, 0, size.width(), size.height());
    return bitmap && image.CreateFromHBITMAP(bitmap.get()) && image.IsValid();
}

bool GrabPicture(MovieWindow& window, const SnapshotRequest& request, QSize size, CxImage& picture) {
    if (!request.alpha) {
        window.SetBackgroundColorRef(request.background);
        return GrabInto(window, request.frame, size, picture);
    }
    CxImage onBlack;
    CxImage onWhite;
    window.SetBackgroundColorRef(kBlack);
    const bool black = GrabInto(window, request.frame, size, onBlack);
    window.SetBackgroundColorRef(kWhite);
    const bool white = GrabInto(window, request.frame, size, onWhite);
    return black && white && MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromBlack, picture);
}

// The capture window plays the movie on the virtual clock while it is
// grabbed: time stands still and no sound device opens, so nothing is heard
// from the hidden window and the preview's own movie waits meanwhile.
class StandingClock {
public:
    StandingClock() : previous_(CallInterceptor::Instance().mode) {
        CallInterceptor::Instance().SetMode(kModeVirtualClock);
    }
    ~StandingClock() { CallInterceptor::Instance().SetMode(previous_); }
    StandingClock(const StandingClock&) = delete;
    StandingClock& operator=(const StandingClock&) = delete;

private:
    int previous_;
};

}  // namespace

QSize SnapshotSize(int width, int height) { return {RoundUpToMultiple(width), RoundUpToMultiple(height)}; }

SnapshotFiles SnapshotNames(const std::string& folder, const std::string& moviePath, long frame, bool alpha) {
    const std::string base = folder + FileNameOf(WithoutExtension(moviePath)) + "_" + std::to_string(frame);
    for (unsigned long n = 0;; ++n) {
        const std::string stem = n == 0 ? base : base + " (" + std::to_string(n) + ")";
        SnapshotFiles names{stem + ".bmp", alpha ? stem + ".png" : std::string()};
        if (!PathExists(names.bmp) && (names.png.empty() || !PathExists(names.png))) return names;
    }
}

std::optional<SnapshotFiles> SaveFrameSnapshot(MovieWindow& window, const SnapshotRequest& request,
                                               std::string& error) {
    const QSize size = SnapshotSize(request.width, request.height);
    CxImage picture;
    long shownFrame = request.frame;
    bool grabbed = false;
    {
        const StandingClock standing;
        window.LoadForCapture(request.moviePath);
        grabbed = GrabPicture(window, request, size, picture);
        shownFrame = window.CurrentFrame();
        window.Unload();
    }
    if (!grabbed) {
        error = "The frame of " + request.moviePath + " could not be grabbed. No picture was saved.";
        return std::nullopt;
    }
    if (!MakeFoldersUpToLastSlash(request.folder)) {
        error = "The folder " + request.folder + " could not be created. No picture was saved.";
        return std::nullopt;
    }
    const SnapshotFiles names = SnapshotNames(request.folder, request.moviePath, shownFrame, request.alpha);
    const bool bmp = picture.Save(names.bmp, CXIMAGE_FORMAT_BMP);
    if (!bmp || (!names.png.empty() && !picture.Save(names.png, CXIMAGE_FORMAT_PNG))) {
        // The pair is saved whole or not at all.
        std::error_code ignored;
        if (bmp) std::filesystem::remove(names.bmp, ignored);
        error = "The picture could not be saved: " + picture.GetLastError();
        return std::nullopt;
    }
    return names;
}

}  // namespace kinolux
