// What the control's tests share: the application object, movies written to
// files, and waiting on the event loop while the control plays.
#pragma once

#include "tests/flash/test_movies.h"
#include "tests/platform/test_application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <string>

namespace flash::testing {

inline void ensureApplication() { kinolux::testing::EnsureApplication<QApplication>(); }

// Movies written to a temporary folder that lives as long as the object.
class MovieFiles {
public:
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const QString path = folder_.filePath(QString::fromStdString(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path.toStdString();
    }
    std::string path(const std::string& name) const { return folder_.filePath(QString::fromStdString(name)).toStdString(); }

private:
    QTemporaryDir folder_;
};

// Runs the event loop until `done` holds or `timeoutMs` has passed; false on timeout.
inline bool pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A movie of `frames` frames at `fps`, one differently coloured full-stage
// rectangle on each, so a picture tells the frame it shows: frame k is drawn
// in frameColor(k).
inline swf::Color frameColor(int frame)
{
    return {std::uint8_t(10 * (frame % 25)), std::uint8_t(200 - 5 * (frame % 40)), std::uint8_t(frame * 37 % 256), 255};
}

inline std::vector<std::uint8_t> colouredFramesMovie(int frames, double fps = 25, int width = 40, int height = 30)
{
    std::vector<swf::Tag> tags;
    for (int f = 0; f < frames; ++f) {
        const auto id = swf::CharacterId(f + 1);
        tags.push_back(testmovies::rect(id, frameColor(f), 0, 0, width, height));
        if (f == 0)
            tags.push_back(testmovies::place(1, id));
        else {
            swf::PlaceObject p = testmovies::place(1, id);
            p.action = swf::PlaceAction::Replace;
            tags.push_back(p);
        }
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(width, height, frames);
    header.frameRate = std::uint16_t(std::lround(fps * 256));
    return testmovies::movie(tags, header);
}

}  // namespace flash::testing
