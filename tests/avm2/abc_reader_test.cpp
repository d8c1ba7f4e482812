#include <gtest/gtest.h>

#include "flash/avm2/abc_file.h"
#include "tests/avm2/machine.h"

using namespace avm2test;
using kinolux::avm2::AbcError;
using kinolux::avm2::readAbc;

namespace {

std::vector<std::uint8_t> smallFile() {
    AbcBuilder abc;
    Code code;
    traced(code, abc, [&](Code& c) { c.op(op::PushString, abc.string("hello")); });
    scriptOf(abc, code);
    return abc.bytes();
}

}  // namespace

TEST(AbcReader, ReadsEveryPoolOfAHandBuiltFile) {
    AbcBuilder abc;
    abc.integer(-5);
    abc.number(2.5);
    std::uint32_t cls = abc.name("Thing");
    std::uint32_t init = abc.method(1);
    abc.body(init, Code().op(op::ReturnVoid));
    std::uint32_t cinit = abc.method();
    abc.body(cinit, Code().op(op::ReturnVoid));
    abc.addClass(cls, abc.name("Object"), init, cinit, {{abc.name("x"), 0, 0, 0}});
    scriptOf(abc, Code(), {{cls, 4, 1, 0}});
    auto bytes = abc.bytes();
    auto f = readAbc(bytes.data(), bytes.size());
    EXPECT_EQ(f.majorVersion, 46);
    ASSERT_EQ(f.ints.size(), 2u);
    EXPECT_EQ(f.ints[1], -5);
    EXPECT_EQ(f.doubles[1], 2.5);
    ASSERT_EQ(f.instances.size(), 1u);
    EXPECT_EQ(f.strings[f.multinames[f.instances[0].name].name], "Thing");
    EXPECT_EQ(f.instances[0].traits.size(), 1u);
    EXPECT_EQ(f.methods[init].paramTypes.size(), 1u);
    EXPECT_EQ(f.methods[init].body, 0);
    EXPECT_EQ(f.scripts.size(), 1u);
}

TEST(AbcReader, RefusesEveryTruncationOfAValidFile) {
    auto bytes = smallFile();
    ASSERT_NO_THROW(readAbc(bytes.data(), bytes.size()));
    for (std::size_t n = 0; n < bytes.size(); ++n) EXPECT_THROW(readAbc(bytes.data(), n), AbcError) << "length " << n;
}

TEST(AbcReader, RefusesIndicesOutsideTheirPools) {
    AbcBuilder noMethod;
    noMethod.script(5);
    auto bytes = noMethod.bytes();
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
    AbcBuilder noClass;
    std::uint32_t m = noClass.method();
    noClass.body(m, Code().op(op::ReturnVoid));
    noClass.script(m, {{noClass.name("C"), 4, 0, 3}});
    bytes = noClass.bytes();
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
    AbcBuilder noName;
    std::uint32_t n = noName.method();
    noName.body(n, Code().op(op::ReturnVoid));
    noName.script(n, {{40, 0, 0, 0}});
    bytes = noName.bytes();
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
}

TEST(AbcReader, RefusesHugeCountsWithoutAllocating) {
    std::vector<std::uint8_t> bytes{16, 0, 46, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0x03};
    try {
        readAbc(bytes.data(), bytes.size());
        FAIL() << "accepted";
    } catch (const AbcError& e) {
        EXPECT_NE(std::string(e.what()).find("count"), std::string::npos) << e.what();
    }
}

TEST(AbcReader, RefusesOtherVersionsAndTwoBodiesForOneMethod) {
    auto bytes = smallFile();
    bytes[2] = 47;
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
    AbcBuilder abc;
    std::uint32_t m = abc.method();
    abc.body(m, Code().op(op::ReturnVoid));
    abc.body(m, Code().op(op::ReturnVoid));
    abc.script(m);
    auto twice = abc.bytes();
    EXPECT_THROW(readAbc(twice.data(), twice.size()), AbcError);
}

TEST(AbcReader, RefusesExceptionRangesOutsideTheCode) {
    AbcBuilder abc;
    std::uint32_t m = abc.method();
    abc.body(m, Code().op(op::ReturnVoid), 4, 2, {{0, 1, 40}});
    abc.script(m);
    auto bytes = abc.bytes();
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
}

TEST(AbcReader, MalformedFileIsReportedAndNothingRuns) {
    Machine m;
    auto bytes = smallFile();
    bytes.resize(bytes.size() - 3);
    EXPECT_FALSE(m.vm.loadAbc(bytes.data(), bytes.size(), false));
    ASSERT_EQ(m.host.errors.size(), 1u);
    EXPECT_NE(m.host.errors[0].find("ABC"), std::string::npos);
    EXPECT_TRUE(m.host.traces.empty());
}

TEST(AbcReader, FindsTheFileInsideADoAbc2Tag) {
    std::vector<std::uint8_t> tag{1, 0, 0, 0, 'm', 'a', 'i', 'n', 0, 16, 0, 46, 0};
    auto [data, size] = kinolux::avm2::abcOfDoAbc2(tag.data(), tag.size());
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(data[2], 46);
    std::vector<std::uint8_t> unterminated{1, 0, 0, 0, 'm'};
    EXPECT_THROW(kinolux::avm2::abcOfDoAbc2(unterminated.data(), unterminated.size()), AbcError);
}

TEST(AbcReader, RefusesFramesTooLargeToAllocate) {
    AbcBuilder abc;
    std::uint32_t m = abc.method();
    abc.body(m, Code().op(op::ReturnVoid), 4, 1u << 29);
    abc.script(m);
    auto bytes = abc.bytes();
    EXPECT_THROW(readAbc(bytes.data(), bytes.size()), AbcError);
}
