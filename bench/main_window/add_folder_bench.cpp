// "Add folder" on a folder of 10,000 files, half of them movies: the time
// until the list holds the 5,000 tasks, and the process's peak memory. The
// window runs on Qt's offscreen platform with its own settings and output
// folder; the folder is written once, outside the measured loop.
#include "shell/main_window.h"
#include "shell/task_list_model.h"
#include "tests/shell/window_test_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <sys/resource.h>

namespace {

constexpr int kFiles = 10000;

long PeakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void AddFolderOfTenThousandFiles(benchmark::State& state) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    kinolux::testing::WindowTestHome home;
    const std::string folder = home / "many";
    const std::vector<uint8_t> movie = kinolux::testing::SmallMovie(10);
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = folder + "/file" + std::to_string(i);
        if (i % 2 == 0) kinolux::testing::WriteFile(name + ".swf", movie);
        else kinolux::testing::WriteFile(name + ".txt", {'t', 'e', 'x', 't'});
    }
    kinolux::MainWindowPrompts prompts = kinolux::StandardPrompts();
    prompts.chooseFolder = [&](QWidget*, const QString&, const QString&) { return QString::fromStdString(folder); };
    prompts.ask = [](const std::string&) { return false; };
    const long before = PeakKilobytes();
    int added = 0;
    for (auto _ : state) {
        kinolux::MainWindow window(prompts);
        window.AddFolder();
        added = window.Tasks().rowCount();
    }
    state.counters["tasks"] = added;
    state.counters["peak_MB"] = PeakKilobytes() / 1024.0;
    state.counters["peak_growth_MB"] = (PeakKilobytes() - before) / 1024.0;
}
BENCHMARK(AddFolderOfTenThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
