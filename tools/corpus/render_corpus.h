// The render corpus: movies with the pictures they must show after a number
// of frames, and the rule that decides a match.
#pragma once

#include <QImage>
#include <QSize>
#include <string>
#include <vector>

#include "flash/core/player.h"
#include "flash/render/text_render.h"

namespace corpus {

// How the corpus harnesses set up a player: short script limits, UTC.
flash::PlayerOptions corpusPlayerOptions();

struct ExpectedPicture {
    std::string name;  // NAME of NAME.expected.png
    int afterTicks = 1;
};

struct RenderCase {
    std::string name;  // the movie's folder name
    std::string folder;
    int ticks = 1;
    QSize viewport;  // empty: the stage size
    bool lowQuality = false;  // drawn without anti-aliasing
    // Font files the movie's folder brings ([fonts.*] path) and the device
    // fonts they stand in for ([default_fonts]).
    std::vector<std::string> fontFiles;
    flash::render::DeviceFonts deviceFonts;
    std::vector<ExpectedPicture> pictures;
};

// Reads test.toml (only the keys this harness needs). False when the file is missing.
bool readCase(const std::string& folder, RenderCase& out);
// Every case under a render folder, in name order.
std::vector<RenderCase> listCases(const std::string& renderFolder);

struct Comparison {
    bool sizeMatches = false;
    double closeFraction = 0;  // share of pixels within the tolerance on every channel
    bool matches() const;
};

// The match rule: same size, 98% of pixels within 24 levels on R, G, B and A.
Comparison compare(const QImage& actual, const QImage& expected);

struct CaseResult {
    std::string name;
    bool passed = false;
    std::string detail;  // why it failed
};

// Runs one movie and compares every expected picture; pictures that do not
// match are written to failFolder (if not empty) for a look.
CaseResult runCase(const RenderCase& c, const std::string& failFolder = {});

}  // namespace corpus
