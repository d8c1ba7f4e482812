#include "tools/corpus/trace_corpus.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "flash/core/player.h"
#include "tools/corpus/render_corpus.h"

namespace corpus {
namespace {

// Text lines without CR and without the empty lines a trailing line feed
// leaves.
std::vector<std::string> linesOf(QByteArray text) {
    text.replace("\r", "");
    while (text.endsWith('\n')) text.chop(1);
    std::vector<std::string> lines;
    if (text.isEmpty()) return lines;
    for (const QByteArray& line : text.split('\n')) lines.push_back(line.toStdString());
    return lines;
}

}  // namespace

std::vector<TraceCase> listTraceCases(const std::string& traceFolder) {
    std::vector<TraceCase> cases;
    QDir dir(QString::fromStdString(traceFolder));
    QRegularExpression frames(R"(num_(frames|ticks)\s*=\s*(\d+))");
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QString folder = dir.filePath(sub);
        if (!QFile::exists(folder + "/test.swf")) continue;
        TraceCase c;
        c.name = sub.toStdString();
        c.folder = folder.toStdString();
        QFile toml(folder + "/test.toml");
        if (toml.open(QIODevice::ReadOnly)) {
            auto m = frames.match(QString::fromUtf8(toml.readAll()));
            if (m.hasMatch()) c.frames = std::max(1, m.captured(2).toInt());
        }
        cases.push_back(std::move(c));
    }
    return cases;
}

std::vector<std::string> traceMovie(const std::string& path, int frames, const std::vector<InputEvent>& input,
                                    std::vector<std::string>* scriptErrors) {
    std::vector<std::string> lines;
    flash::PlayerOptions options = corpusPlayerOptions();
    options.trace = [&](std::string_view line) { lines.emplace_back(line); };
    std::string error;
    auto player = flash::Player::fromFile(path, std::move(options), &error);
    if (!player) return {"(not loaded: " + error + ")"};
    std::size_t nextInput = feedFrameInput(*player, input, 0);
    for (int i = 1; i < frames && !player->quitRequested(); ++i) {
        player->tick();
        nextInput = feedFrameInput(*player, input, nextInput);
    }
    if (scriptErrors) *scriptErrors = player->scriptErrors();
    return lines;
}

TraceResult runTraceCase(const TraceCase& c, const std::string& failFolder) {
    TraceResult r;
    r.name = c.name;
    QFile expectedFile(QString::fromStdString(c.folder + "/output.txt"));
    if (!expectedFile.open(QIODevice::ReadOnly)) {
        r.detail = "no output.txt";
        return r;
    }
    std::vector<std::string> expected = linesOf(expectedFile.readAll());
    const std::vector<InputEvent> input = readInputScript(c.folder + "/input.json");
    QByteArray joined;
    std::vector<std::string> scriptErrors;
    for (const auto& line : traceMovie(c.folder + "/test.swf", c.frames, input, &scriptErrors))
        joined += QByteArray::fromStdString(line) + '\n';
    std::vector<std::string> actual = linesOf(joined);
    r.passed = actual == expected;
    if (!r.passed && !failFolder.empty()) {
        QDir().mkpath(QString::fromStdString(failFolder));
        QFile actualFile(QString::fromStdString(failFolder + "/" + c.name + ".actual.txt"));
        if (actualFile.open(QIODevice::WriteOnly)) actualFile.write(joined);
        QFile errorsFile(QString::fromStdString(failFolder + "/" + c.name + ".errors.txt"));
        if (!scriptErrors.empty() && errorsFile.open(QIODevice::WriteOnly))
            for (const auto& e : scriptErrors) errorsFile.write(QByteArray::fromStdString(e) + '\n');
    }
    if (!r.passed) {
        std::size_t i = 0;
        while (i < actual.size() && i < expected.size() && actual[i] == expected[i]) ++i;
        r.detail = "line " + std::to_string(i + 1) + ": got \"" + (i < actual.size() ? actual[i] : "(end)") +
                   "\", expected \"" + (i < expected.size() ? expected[i] : "(end)") + "\"";
    }
    return r;
}

}  // namespace corpus
