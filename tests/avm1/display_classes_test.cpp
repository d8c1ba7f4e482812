// The classes over the player's objects: TextField and TextFormat, Color,
// Sound, Stage, Key, Mouse and System.capabilities.
#include <gtest/gtest.h>

#include <map>

#include "tests/avm1/assembler.h"
#include "tests/avm1/script.h"

namespace kinolux::avm1::test {
namespace {

class FakeText : public TextFieldBinding {
public:
    FakeText(FakeClip& parent, int depth) : parent_(parent), depth_(depth) {}

    String name() const override { return String(u"field"); }
    void setName(const String&) override {}
    DisplayObjectBinding* parent() const override { return &parent_; }
    int depth() const override { return depth_; }
    int swfVersion() const override { return parent_.swfVersion(); }
    DisplayObjectBinding* root() const override { return parent_.root(); }
    double property(DisplayProperty) const override { return 0; }
    void setProperty(DisplayProperty, double) override {}

    Value textProperty(TextFieldProperty p) const override {
        auto it = values.find(p);
        if (it != values.end()) return it->second;
        if (p == TextFieldProperty::Length) return Value(0);
        return Value();
    }
    void setTextProperty(TextFieldProperty p, const Value& v) override {
        values[p] = v;
        setCount++;
    }
    TextFormat textFormat(int begin, int end) const override {
        lastRange = {begin, end};
        return format;
    }
    void setTextFormat(int begin, int end, const TextFormat& f) override {
        lastRange = {begin, end};
        format = f;
    }
    void replaceText(int begin, int end, const String& text) override {
        replaced.push_back(std::to_string(begin) + ".." + std::to_string(end) + " " + text.toUtf8());
    }

    std::map<TextFieldProperty, Value> values;
    TextFormat format;
    mutable std::pair<int, int> lastRange{-2, -2};
    std::vector<std::string> replaced;
    int setCount = 0;

private:
    FakeClip& parent_;
    int depth_;
};

// A text field of a SWF 7 movie, at depth 3 of the root, with its script object.
class TextFieldClass : public ::testing::Test {
protected:
    void SetUp() override {
        s.m.vm.constructDisplayObject(field);
        object = s.scriptOf(field);
    }
    Script s{7};
    FakeText field{s.m.host.root, 3};
    Value object;
};

TEST_F(TextFieldClass, PropertiesGoToTheBinding) {
    s.set(object, u"text", u"hello");
    EXPECT_EQ(s.m.vm.toString(field.values[TextFieldProperty::Text]).toUtf8(), "hello");
    s.set(object, u"border", 1);
    EXPECT_EQ(s.text(s.get(object, u"border")), "true");  // kept as a boolean
    field.values[TextFieldProperty::Length] = Value(5);
    EXPECT_EQ(s.text(s.get(object, u"length")), "5");
    // An ordinary property stays on the object.
    s.set(object, u"custom", 9);
    EXPECT_EQ(s.text(s.get(object, u"custom")), "9");
    EXPECT_EQ(s.text(s.get(object, u"_name")), "field");
    EXPECT_EQ(s.text(object), "_level0.field");
}

TEST_F(TextFieldClass, TextFormatsTravelBothWays) {
    Value format = s.make(u"TextFormat", {u"Arial", 12, 0xFF0000, true});
    EXPECT_EQ(s.text(s.get(format, u"font")), "Arial");
    EXPECT_TRUE(s.get(format, u"italic").isNull());
    s.call(object, u"setTextFormat", {2, 4, format});
    EXPECT_EQ(field.lastRange, (std::pair<int, int>{2, 4}));
    ASSERT_TRUE(field.format.font.has_value());
    EXPECT_EQ(field.format.font->toUtf8(), "Arial");
    EXPECT_EQ(field.format.size, 12);
    EXPECT_EQ(field.format.color, 0xFF0000);
    EXPECT_EQ(field.format.bold, true);
    EXPECT_FALSE(field.format.italic.has_value());

    field.format = {};
    field.format.align = String(u"center");
    field.format.leading = 3;
    Value back = s.call(object, u"getTextFormat");
    EXPECT_EQ(s.text(s.get(back, u"align")), "center");
    EXPECT_EQ(s.text(s.get(back, u"leading")), "3");
    EXPECT_TRUE(s.get(back, u"font").isNull());

    s.call(object, u"replaceText", {1, 3, u"xy"});
    EXPECT_EQ(field.replaced, (std::vector<std::string>{"1..3 xy"}));
}

class RecordingSound : public SoundBinding {
public:
    explicit RecordingSound(std::vector<std::string>& log) : log_(log) {}
    bool attachSound(const String& linkage) override {
        log_.push_back("attach " + linkage.toUtf8());
        return linkage == u"beep";
    }
    void start(double offset, int loops) override {
        log_.push_back("start " + std::to_string(static_cast<int>(offset)) + " " + std::to_string(loops));
    }
    void stop(const std::optional<String>& linkage) override {
        log_.push_back("stop" + (linkage ? " " + linkage->toUtf8() : std::string()));
    }
    double volume() const override { return volume_; }
    void setVolume(double v) override { volume_ = v; }
    double pan() const override { return 0; }
    void setPan(double) override {}
    SoundMix mix() const override { return mix_; }
    void setMix(const SoundMix& mix) override { mix_ = mix; }

private:
    std::vector<std::string>& log_;
    double volume_ = 100;
    SoundMix mix_ = kUnchangedSoundMix;
};

class SoundHost : public FakeHost {
public:
    using FakeHost::FakeHost;
    std::unique_ptr<SoundBinding> createSound(DisplayObjectBinding*, SoundEvents& events) override {
        lastEvents = &events;
        return std::make_unique<RecordingSound>(soundLog);
    }
    std::vector<std::string> soundLog;
    SoundEvents* lastEvents = nullptr;
};

TEST(SoundClass, ControlsThePlayersSoundAndHearsItEnd) {
    MachineOn<SoundHost> m(7);
    m.run(R"asm(
        push "s"
        push 0
        push "Sound"
        newObject
        setVariable
        push "beep", 1
        push "s"
        getVariable
        push "attachSound"
        callMethod
        pop
        push 3, 0, 2
        push "s"
        getVariable
        push "start"
        callMethod
        pop
        push 40, 1
        push "s"
        getVariable
        push "setVolume"
        callMethod
        pop
        push 0
        push "s"
        getVariable
        push "getVolume"
        callMethod
        trace
        push "s"
        getVariable
        push "onSoundComplete"
        function2 () regs=1 {
            push "done"
            trace
        }
        setMember
    )asm");
    EXPECT_EQ(m.host.soundLog, (std::vector<std::string>{"attach beep", "start 0 3"}));
    EXPECT_EQ(m.host.output(), "40");
    ASSERT_NE(m.host.lastEvents, nullptr);
    m.host.traces.clear();
    m.host.lastEvents->soundCompleted();
    EXPECT_EQ(m.host.output(), "done");
}

// A Color over the clip "a" of a SWF 6 movie.
class ColorClass : public ::testing::Test {
protected:
    void SetUp() override {
        s.m.vm.constructDisplayObject(a);
        color = s.make(u"Color", {u"a"});
    }
    Script s{6};
    FakeClip& a = s.m.host.root.addChild(u"a", 1);
    Value color;
};

TEST_F(ColorClass, SetsTheClipsColorTransform) {
    s.call(color, u"setRGB", {0x336699});
    ColorTransform ct = a.colorTransform();
    EXPECT_EQ(ct.redMultiplier, 0);
    EXPECT_EQ(ct.redOffset, 0x33);
    EXPECT_EQ(ct.greenOffset, 0x66);
    EXPECT_EQ(ct.blueOffset, 0x99);
    EXPECT_EQ(s.callText(color, u"getRGB"), std::to_string(0x336699));

    s.call(color, u"setTransform", {s.object({{u"ra", 50}, {u"ab", -20}})});
    ct = a.colorTransform();
    EXPECT_EQ(ct.redMultiplier, 0.5);
    EXPECT_EQ(ct.alphaOffset, -20);
    EXPECT_EQ(ct.greenOffset, 0x66);  // fields not given stay
    Value back = s.call(color, u"getTransform");
    EXPECT_EQ(s.text(s.get(back, u"ra")), "50");
    EXPECT_EQ(s.text(s.get(back, u"aa")), "100");
    // A Color on nothing does nothing.
    EXPECT_TRUE(s.call(s.make(u"Color", {u"missing"}), u"getRGB").isUndefined());
}

class StageHost : public FakeHost {
public:
    using FakeHost::FakeHost;
    double stageWidth() override { return width; }
    bool isKeyDown(int code) override { return code == 37; }
    void setMouseVisible(bool visible) override { mouseVisible = visible; }
    std::optional<Value> capability(std::u16string_view name) override {
        if (name == u"os") return Value(u"Test OS");
        return std::nullopt;
    }
    double width = 640;
    bool mouseVisible = true;
};

TEST(InputAndStage, AskTheHost) {
    MachineOn<StageHost> m(7);
    m.run(R"asm(
        push "Stage"
        getVariable
        push "width"
        getMember
        trace
        push 37, 1
        push "Key"
        getVariable
        push "isDown"
        callMethod
        trace
        push 39, 1
        push "Key"
        getVariable
        push "isDown"
        callMethod
        trace
        push "Key"
        getVariable
        push "LEFT"
        getMember
        trace
        push 0
        push "Mouse"
        getVariable
        push "hide"
        callMethod
        pop
        push "System"
        getVariable
        push "capabilities"
        getMember
        push "os"
        getMember
        trace
        push "System"
        getVariable
        push "capabilities"
        getMember
        push "version"
        getMember
        typeOf
        trace
        push "listener"
        push 0
        push "Object"
        newObject
        setVariable
        push "listener"
        getVariable
        push "onResize"
        function2 () regs=1 {
            push "Stage"
            getVariable
            push "width"
            getMember
            push "resized "
            stackSwap
            add2
            trace
        }
        setMember
        push "listener"
        getVariable
        push 1
        push "Stage"
        getVariable
        push "addListener"
        callMethod
        pop
    )asm");
    EXPECT_EQ(m.host.output(), "640\ntrue\nfalse\n37\nTest OS\nstring");
    EXPECT_FALSE(m.host.mouseVisible);
    m.host.traces.clear();
    m.host.width = 800;
    m.vm.notifyStageResize();
    EXPECT_EQ(m.host.output(), "resized 800");
}

TEST_F(ColorClass, TransformsAreKeptInSixteenBitFixedPoint) {
    EXPECT_TRUE(s.callText(color, u"hasOwnProperty", {u"target"}) == "true");
    s.call(color, u"setTransform", {s.object({{u"ra", 99.9}, {u"rb", 99.9}, {u"ga", 50000}})});
    Value back = s.call(color, u"getTransform");
    EXPECT_EQ(s.text(s.get(back, u"ra")), "99.609375");  // 255/256
    EXPECT_EQ(s.text(s.get(back, u"rb")), "99");
    EXPECT_EQ(s.text(s.get(back, u"ga")), "-1200");      // 128000 wraps at 16 bits
}

}  // namespace
}  // namespace kinolux::avm1::test
