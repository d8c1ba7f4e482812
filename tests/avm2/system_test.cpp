// flash.system on the player: fscommand reaches the host, Capabilities
// describes the player.
#include <gtest/gtest.h>

#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

TEST(As3System, FscommandQuitReachesTheHostAndCapabilitiesNameThePlayer) {
    AbcBuilder abc;
    const std::uint32_t system = abc.packageNamespace("flash.system");
    const std::uint32_t fscommand = abc.qname(system, "fscommand"), capabilities = abc.qname(system, "Capabilities");
    Code constructor;
    traced(constructor, abc, [&](Code& c) {
        c.op(op::GetLex, capabilities).op(op::GetProperty, abc.name("playerType"));
    });
    constructor.op(op::FindPropStrict, fscommand).op(op::PushString, abc.string("quit"));
    constructor.op(op::CallPropVoid, fscommand, 1);
    const Playback run = play(documentMovie(documentAbc(abc, constructor, {})), 1);
    EXPECT_EQ(run.traces, std::vector<std::string>{"StandAlone"});
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_TRUE(run.quit);
}
