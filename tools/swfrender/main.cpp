// swfrender MOVIE -n N -o OUT.png [--size WxH] [--scale-mode M]
// swfrender MOVIE --disassemble
// Runs a movie for N frames (the first frame shown counts as one) and
// writes the picture then on show. What the movie's scripts trace goes to
// standard output, one line per trace, as it happens. --disassemble lists
// the movie's scripts instead, to see what they do.
#include <QGuiApplication>
#include <QImageWriter>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <cstring>
#include <string>

#include "flash/core/player.h"
#include "flash/render/bitmap_services.h"
#include "flash/render/renderer.h"
#include "flash/swf/error.h"
#include "flash/swf/read.h"
#include "tools/swfrender/disassembler.h"

namespace {

struct Options {
    std::string movie, output;
    long frames = 1;
    QSize size;
    int scaleMode = 0;
    bool disassemble = false;
};

const char* kUsage =
    "usage: swfrender MOVIE -n N -o OUT.png [--size WxH] [--scale-mode M]\n"
    "       swfrender MOVIE --disassemble\n"
    "  -n N            run N frames (1 = the first frame)\n"
    "  -o OUT.png      where to write the picture\n"
    "  --size WxH      picture size (default: the stage size)\n"
    "  --scale-mode M  0 show all (default), 1 no border, 2 exact fit, 3 no scale\n"
    "  --disassemble   list the movie's scripts as bytecode on standard output\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "swfrender: %s\n", message.c_str());
    return 1;
}

bool parseNumber(const char* text, long min, long max, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!text[0] || *end || v < min || v > max) return false;
    out = v;
    return true;
}

// Returns an empty string on success, else what was wrong.
std::string parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "-n") {
            const char* v = value();
            if (!v || !parseNumber(v, 1, 10000000, o.frames)) return "-n needs a frame count of at least 1";
        } else if (arg == "-o") {
            const char* v = value();
            if (!v) return "-o needs a file name";
            o.output = v;
        } else if (arg == "--size") {
            const char* v = value();
            long w = 0, h = 0;
            std::string s = v ? v : "";
            auto x = s.find('x');
            if (x == std::string::npos || !parseNumber(s.substr(0, x).c_str(), 1, 16384, w) ||
                !parseNumber(s.substr(x + 1).c_str(), 1, 16384, h))
                return "--size needs WIDTHxHEIGHT, each from 1 to 16384";
            o.size = QSize(int(w), int(h));
        } else if (arg == "--scale-mode") {
            const char* v = value();
            long m = 0;
            if (!v || !parseNumber(v, 0, 3, m)) return "--scale-mode needs 0, 1, 2 or 3";
            o.scaleMode = int(m);
        } else if (arg == "--disassemble") {
            o.disassemble = true;
        } else if (arg == "-h" || arg == "--help") {
            return "help";
        } else if (!arg.empty() && arg[0] == '-') {
            return "unknown option " + arg;
        } else if (o.movie.empty()) {
            o.movie = arg;
        } else {
            return "more than one movie given";
        }
    }
    if (o.movie.empty()) return "no movie given";
    if (o.output.empty() && !o.disassemble) return "no output file given (-o OUT.png)";
    return {};
}

int listScripts(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return fail("cannot open " + path + ": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    try {
        swf::Movie movie = swf::readMovie(swf::Bytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())));
        std::fputs(swfrender::listActions(movie).c_str(), stdout);
    } catch (const swf::Error& e) {
        return fail(e.what());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    std::string problem = parse(argc, argv, o);
    if (problem == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!problem.empty()) {
        std::fputs(kUsage, stderr);
        return fail(problem);
    }
    if (o.disassemble) return listScripts(o.movie);
    // Text needs a Gui application for fonts; nothing is ever shown. Qt's own
    // chatter stays out of standard error unless KINOLUX_DEBUG asks for it.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("KINOLUX_DEBUG")) qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QGuiApplication app(argc, argv);

    std::string error;
    flash::PlayerOptions playerOptions;
    playerOptions.renderServices = &flash::render::makeBitmapServices;
    playerOptions.trace = [](std::string_view line) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    auto player = flash::Player::fromFile(o.movie, std::move(playerOptions), &error);
    if (!player) return fail(error);
    // What the reader had to skip is worth knowing, but the picture is still made.
    for (const auto& w : player->movie().warnings) std::fprintf(stderr, "swfrender: warning: %s\n", w.c_str());
    for (long i = 1; i < o.frames && !player->quitRequested(); ++i) player->tick();
    for (const auto& e : player->scriptErrors()) std::fprintf(stderr, "swfrender: script stopped: %s\n", e.c_str());

    flash::render::Renderer renderer;
    flash::render::RenderOptions options;
    options.scaleMode = flash::render::ScaleMode(o.scaleMode);
    QImage picture = renderer.picture(*player, o.size, options);
    if (picture.isNull()) return fail("not enough memory for a picture of that size");
    for (const auto& p : renderer.problems()) std::fprintf(stderr, "swfrender: warning: %s\n", p.c_str());

    // Written beside the target and renamed into place only when complete.
    QSaveFile file(QString::fromStdString(o.output));
    if (!file.open(QIODevice::WriteOnly)) return fail("cannot write " + o.output + ": " + file.errorString().toStdString());
    QImageWriter writer(&file, "png");
    if (!writer.write(picture.convertToFormat(QImage::Format_ARGB32)) || !file.commit())
        return fail("cannot write " + o.output + ": " + writer.errorString().toStdString());
    return 0;
}
