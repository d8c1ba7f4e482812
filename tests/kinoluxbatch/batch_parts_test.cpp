// kinoluxbatch's parts on their own: the option table's parsing, the movie
// list with its shards, and the report's two formats.
#include "tests/platform/scoped_temp_folder.h"
#include "tests/platform/written_text.h"
#include "tools/kinoluxbatch/batch_options.h"
#include "tools/kinoluxbatch/batch_report.h"
#include "tools/kinoluxbatch/movie_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kinolux::batch {
namespace {

namespace fs = std::filesystem;

std::string Parse(std::vector<const char*> arguments, BatchOptions& options) {
    arguments.insert(arguments.begin(), "kinoluxbatch");
    return ParseBatchOptions(int(arguments.size()), arguments.data(), options);
}

TEST(BatchOptions, EveryOptionInBothSpellingsAndTheInputsInOrder) {
    BatchOptions options;
    ASSERT_EQ(Parse({"-j", "3", "--shard", "1/4", "--report=r.csv", "--pi", "ini/mp4.ini", "--pn", "mp4 Normal", "-o",
                     "out", "a.swf", "folder", "--", "-odd name.swf"},
                    options),
              "");
    EXPECT_EQ(options.jobs, 3);
    EXPECT_EQ(options.shard.index, 1);
    EXPECT_EQ(options.shard.count, 4);
    EXPECT_EQ(options.reportPath, "r.csv");
    EXPECT_EQ(options.profileFile, "ini/mp4.ini");
    EXPECT_EQ(options.profileName, "mp4 Normal");
    EXPECT_EQ(options.outputFolder, "out");
    EXPECT_EQ(options.inputs, (std::vector<std::string>{"a.swf", "folder", "-odd name.swf"}));

    BatchOptions attached;
    ASSERT_EQ(Parse({"-j2", "--jobs=5", "--pi=p.ini", "--pn=x", "-oout", "m.swf"}, attached), "");
    EXPECT_EQ(attached.jobs, 5) << "the last one counts";
    EXPECT_EQ(attached.outputFolder, "out");
}

TEST(BatchOptions, BadValuesAndMissingOnesAreRefusedByName) {
    struct Case {
        std::vector<const char*> arguments;
        std::string says;
    };
    const std::vector<const char*> rest{"--pi", "p.ini", "--pn", "x", "-o", "out", "m.swf"};
    for (const Case& c : std::vector<Case>{{{"-j", "0"}, "-j"},
                                           {{"-j", "many"}, "--jobs"},
                                           {{"-j", "2000"}, "1024"},
                                           {{"--shard", "3/3"}, "0 <= I < N"},
                                           {{"--shard", "1"}, "--shard"},
                                           {{"--shard", "-1/2"}, "--shard"},
                                           {{"--report="}, "--report wants a value"},
                                           {{"--colour"}, "Unknown option --colour"},
                                           {{"--help=yes"}, "takes no value"}}) {
        std::vector<const char*> arguments = c.arguments;
        arguments.insert(arguments.end(), rest.begin(), rest.end());
        BatchOptions options;
        const std::string problem = Parse(arguments, options);
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.arguments[0] << ": " << problem;
    }
    BatchOptions options;
    EXPECT_NE(Parse({"--pi", "p.ini", "--pn", "x", "m.swf"}, options).find("-o OUTDIR is missing"), std::string::npos);
    BatchOptions noInputs;
    EXPECT_NE(Parse({"--pi", "p.ini", "--pn", "x", "-o", "out"}, noInputs).find("No movie"), std::string::npos);
    BatchOptions trailing;
    EXPECT_NE(Parse({"--pi", "p.ini", "--pn", "x", "m.swf", "-o"}, trailing).find("-o wants a value"),
              std::string::npos);
    BatchOptions help;
    EXPECT_EQ(Parse({"-h"}, help), "") << "help needs nothing else";
    EXPECT_TRUE(help.help);
}

TEST(BatchOptions, TheUsageListsEveryRowOfTheTable) {
    const std::string usage = testing::WrittenText(WriteBatchUsage);
    for (const BatchOptionDef& row : BatchOptionTable()) {
        EXPECT_NE(usage.find(row.help), std::string::npos) << row.help;
        if (row.longName) {
            EXPECT_NE(usage.find(row.longName), std::string::npos);
        }
    }
}

void WriteFile(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(MovieList, FoldersByContentListsAndMoviesSortedOnce) {
    testing::ScopedTempFolder root;
    const std::string movies = root.path() + "/movies";
    WriteFile(movies + "/b.swf", "FWS\x08 movie");
    WriteFile(movies + "/deep/a.dat", "CWS\x0a movie");  // a movie by its content
    WriteFile(movies + "/deep/notes.swf", "just text");  // no movie, whatever its name
    WriteFile(root.path() + "/one.swf", "ZWS\x0d movie");
    WriteFile(root.path() + "/list.txt", "# the archive\n\none.swf\n" + movies + "/b.swf\r\n  missing.swf\n");

    const MovieList list =
        CollectMovies({movies, root.path() + "/list.txt", root.path() + "/one.swf", root.path() + "/nothing"});
    EXPECT_EQ(list.movies, (std::vector<std::string>{root.path() + "/missing.swf", movies + "/b.swf",
                                                     movies + "/deep/a.dat", root.path() + "/one.swf"}));
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_NE(list.problems[0].find("nothing does not exist"), std::string::npos);
}

TEST(MovieList, ShardsTakeEveryMovieExactlyOnce) {
    std::vector<std::string> sorted;
    for (int i = 0; i < 10; ++i) sorted.push_back("m" + std::to_string(i));
    std::vector<std::string> together;
    for (int index = 0; index < 3; ++index) {
        const std::vector<std::string> shard = TakeShard(sorted, Shard{index, 3});
        EXPECT_EQ(shard.front(), sorted[size_t(index)]);
        together.insert(together.end(), shard.begin(), shard.end());
    }
    std::sort(together.begin(), together.end());
    EXPECT_EQ(together, sorted);
    EXPECT_TRUE(TakeShard({"a"}, Shard{2, 3}).empty());
}

TEST(BatchReport, CsvAndJsonLinesQuoteWhatTheyMust) {
    testing::ScopedTempFolder folder;
    const MovieResult result{"/m/a, \"b\".swf", "/o/a.mp4", Status::Timeout, 25, 12.34, "line\nnext\t\x01"};
    {
        ReportWriter csv, json;
        std::string error;
        ASSERT_TRUE(csv.Open(folder.path() + "/r.csv", error)) << error;
        ASSERT_TRUE(json.Open(folder.path() + "/r.jsonl", error)) << error;
        csv.Write(result);
        json.Write(result);
        ReportWriter neither;
        EXPECT_FALSE(neither.Open(folder.path() + "/r.txt", error));
        EXPECT_NE(error.find(".csv or .jsonl"), std::string::npos);
    }
    std::ifstream csv(folder.path() + "/r.csv"), json(folder.path() + "/r.jsonl");
    const std::string csvText((std::istreambuf_iterator<char>(csv)), {}),
        jsonText((std::istreambuf_iterator<char>(json)), {});
    EXPECT_EQ(csvText,
              "movie,output,status,frames,seconds,message\n"
              "\"/m/a, \"\"b\"\".swf\",/o/a.mp4,timeout,25,12.3,\"line\nnext\t\x01\"\n");
    EXPECT_EQ(jsonText,
              "[\"movie\",\"output\",\"status\",\"frames\",\"seconds\",\"message\"]\n"
              "{\"movie\":\"/m/a, \\\"b\\\".swf\",\"output\":\"/o/a.mp4\",\"status\":\"timeout\","
              "\"frames\":25,\"seconds\":12.3,\"message\":\"line\\nnext\\t\\u0001\"}\n");
}

}  // namespace
}  // namespace kinolux::batch
