// The trace corpus: movies with the trace output they must print after a
// number of frames, run on the player core.
#pragma once

#include <string>
#include <vector>

#include "tools/corpus/input_script.h"

namespace corpus {

struct TraceCase {
    std::string name;    // the movie's folder name
    std::string folder;
    int frames = 1;
};

// Every case under a trace folder (those with test.swf), in name order.
std::vector<TraceCase> listTraceCases(const std::string& traceFolder);

struct TraceResult {
    std::string name;
    bool passed = false;
    std::string detail;  // the first line that differs
};

// Runs the movie for its frames (stopping early when it asks to quit), fed
// the events of its input.json when it has one, and
// compares what it traced with output.txt, line for line, after the line
// ends and the trailing line feed are normalised.
// What a failing movie traced, and the script errors the player reported,
// are written to failFolder (if not empty) for a look.
TraceResult runTraceCase(const TraceCase& c, const std::string& failFolder = {});
// The trace output of a movie after some frames, one line each, fed the
// input events between frames; the script errors go to scriptErrors when
// it is given.
std::vector<std::string> traceMovie(const std::string& path, int frames, const std::vector<InputEvent>& input = {},
                                    std::vector<std::string>* scriptErrors = nullptr);

}  // namespace corpus
