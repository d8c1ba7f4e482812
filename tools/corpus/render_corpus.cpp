#include "tools/corpus/render_corpus.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>

#include "flash/core/player.h"
#include "flash/render/bitmap_services.h"
#include "flash/render/renderer.h"
#include "tools/corpus/input_script.h"

namespace corpus {
namespace {

constexpr int kTolerance = 24;
constexpr double kRequiredFraction = 0.98;

int intAfter(const QString& line) {
    return line.section('=', 1).trimmed().toInt();
}

}  // namespace

flash::PlayerOptions corpusPlayerOptions() {
    flash::PlayerOptions options;
    // A stuck movie must not stall the suite; dates count from 1970 in UTC.
    options.scriptLimits.timeLimitSeconds = 2;
    options.timeZoneMinutes = 0;
    options.renderServices = &flash::render::makeBitmapServices;
    return options;
}

bool Comparison::matches() const { return sizeMatches && closeFraction >= kRequiredFraction; }

bool readCase(const std::string& folder, RenderCase& out) {
    QFile file(QString::fromStdString(folder + "/test.toml"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return false;
    out.folder = folder;
    out.name = QDir(QString::fromStdString(folder)).dirName().toStdString();
    QTextStream in(&file);
    QString section, table;
    // key = "value" or key = ["value", ...] (the first one).
    QRegularExpression quotedValue(R"re(^(\w+)\s*=\s*\[?\s*"([^"]*)")re");
    QRegularExpression sectionRe(R"(^\[\[?image_comparisons\.("?)([^"\]]+)\1)");
    QRegularExpression inlineTrigger(R"(^image_comparisons\.("?)([^"]+)\1\.trigger\s*=\s*(\d+))");
    QRegularExpression viewport(R"(viewport_dimensions\s*=\s*\{\s*width\s*=\s*(\d+)\s*,\s*height\s*=\s*(\d+))");
    auto picture = [&](const QString& name) -> ExpectedPicture& {
        for (auto& p : out.pictures)
            if (p.name == name.toStdString()) return p;
        out.pictures.push_back({name.toStdString(), -1});
        return out.pictures.back();
    };
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.startsWith('#') || line.isEmpty()) continue;
        if (auto m = sectionRe.match(line); m.hasMatch()) {
            section = m.captured(2);
            if (section.endsWith(".checks")) section.chop(7);  // [[image_comparisons.NAME.checks]]
            picture(section);
            continue;
        }
        if (line.startsWith('[')) {
            section.clear();
            table = line;
            continue;
        }
        if (auto m = quotedValue.match(line); m.hasMatch()) {
            const QString key = m.captured(1), value = m.captured(2);
            if (table.startsWith("[fonts.") && key == "path") {
                out.fontFiles.push_back(folder + "/" + value.toStdString());
            } else if (table == "[default_fonts]") {
                if (key == "sans") out.deviceFonts.sans = value;
                else if (key == "serif") out.deviceFonts.serif = value;
                else if (key == "typewriter") out.deviceFonts.typewriter = value;
            }
            if (!table.isEmpty()) continue;
        }
        if (auto m = inlineTrigger.match(line); m.hasMatch()) {
            picture(m.captured(2)).afterTicks = m.captured(3).toInt();
        } else if (line.startsWith("num_frames") || line.startsWith("num_ticks")) {
            out.ticks = std::max(1, intAfter(line));
        } else if (line.startsWith("trigger") && !section.isEmpty()) {
            picture(section).afterTicks = intAfter(line);
        } else if (line.startsWith("with_renderer") && line.contains("\"low\"")) {
            out.lowQuality = true;
        } else if (auto m = viewport.match(line); m.hasMatch()) {
            out.viewport = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        }
    }
    if (out.pictures.empty()) out.pictures.push_back({"output", -1});
    for (auto& p : out.pictures)
        if (p.afterTicks < 0) p.afterTicks = out.ticks;
    std::sort(out.pictures.begin(), out.pictures.end(),
              [](const ExpectedPicture& a, const ExpectedPicture& b) { return a.afterTicks < b.afterTicks; });
    return true;
}

std::vector<RenderCase> listCases(const std::string& renderFolder) {
    std::vector<RenderCase> cases;
    QDir dir(QString::fromStdString(renderFolder));
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        RenderCase c;
        if (readCase(dir.filePath(sub).toStdString(), c)) cases.push_back(std::move(c));
    }
    return cases;
}

Comparison compare(const QImage& actualIn, const QImage& expectedIn) {
    Comparison c;
    c.sizeMatches = actualIn.size() == expectedIn.size();
    if (!c.sizeMatches || actualIn.isNull()) return c;
    QImage a = actualIn.convertToFormat(QImage::Format_ARGB32);
    QImage e = expectedIn.convertToFormat(QImage::Format_ARGB32);
    std::size_t close = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* re = reinterpret_cast<const QRgb*>(e.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            QRgb p = ra[x], q = re[x];
            if (std::abs(qRed(p) - qRed(q)) <= kTolerance && std::abs(qGreen(p) - qGreen(q)) <= kTolerance &&
                std::abs(qBlue(p) - qBlue(q)) <= kTolerance && std::abs(qAlpha(p) - qAlpha(q)) <= kTolerance)
                ++close;
        }
    }
    c.closeFraction = double(close) / (double(a.width()) * a.height());
    return c;
}

CaseResult runCase(const RenderCase& c, const std::string& failFolder) {
    CaseResult result;
    result.name = c.name;
    std::string error;
    flash::PlayerOptions playerOptions = corpusPlayerOptions();
    playerOptions.deviceFonts = c.deviceFonts;
    auto player = flash::Player::fromFile(c.folder + "/test.swf", playerOptions, &error);
    if (!player) {
        result.detail = "not loaded: " + error;
        return result;
    }
    for (const auto& font : c.fontFiles) QFontDatabase::addApplicationFont(QString::fromStdString(font));
    flash::render::Renderer renderer;
    // Each frame's input comes after the frame has run, the first frame's too.
    const std::vector<InputEvent> input = readInputScript(c.folder + "/input.json");
    std::size_t nextInput = feedFrameInput(*player, input, 0);
    int ticksDone = 1;
    result.passed = true;
    for (const auto& p : c.pictures) {
        while (ticksDone < p.afterTicks) {
            player->tick();
            ++ticksDone;
            nextInput = feedFrameInput(*player, input, nextInput);
        }
        QImage expected(QString::fromStdString(c.folder + "/" + p.name + ".expected.png"));
        if (expected.isNull()) {
            result.passed = false;
            result.detail += p.name + ": no expected picture; ";
            continue;
        }
        flash::render::RenderOptions options;
        options.antialias = !c.lowQuality;
        options.deviceFonts = c.deviceFonts;
        QImage actual = renderer.picture(*player, c.viewport, options);
        Comparison cmp = compare(actual, expected);
        if (!cmp.matches()) {
            result.passed = false;
            if (!cmp.sizeMatches)
                result.detail += p.name + ": size " + std::to_string(actual.width()) + "x" + std::to_string(actual.height()) +
                                 " instead of " + std::to_string(expected.width()) + "x" + std::to_string(expected.height()) + "; ";
            else
                result.detail += p.name + ": " + std::to_string(int(cmp.closeFraction * 1000) / 10.0).substr(0, 4) + "% close; ";
            if (!failFolder.empty()) {
                QDir().mkpath(QString::fromStdString(failFolder));
                actual.save(QString::fromStdString(failFolder + "/" + c.name + "." + p.name + ".actual.png"));
            }
        }
    }
    return result;
}

}  // namespace corpus
