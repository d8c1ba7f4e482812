#include "flash/avm1/host.h"

#include <chrono>

#include "flash/avm1/stage_object.h"
#include "flash/script/local_time.h"

namespace kinolux::avm1 {

ActionBlock ActionBlock::copyOf(std::span<const std::uint8_t> bytes, int swfVersion) {
    auto owner = std::make_shared<std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
    return inside(owner, std::span<const std::uint8_t>(owner->data(), owner->size()), swfVersion);
}

DisplayObjectBinding::~DisplayObjectBinding() { detachFromScript(); }

void DisplayObjectBinding::detachFromScript() {
    if (!scriptObject_) return;
    static_cast<StageObject*>(scriptObject_.get())->detach();
    scriptObject_.reset();
}

Bounds DisplayObjectBinding::bounds(const DisplayObjectBinding*) const { return {}; }

bool DisplayObjectBinding::hitTestPoint(double, double, bool) const { return false; }

bool DisplayObjectBinding::hitTestObject(const DisplayObjectBinding&) const { return false; }

double Host::wallClockMilliseconds() {
    using namespace std::chrono;
    return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double Host::localTimeOffsetMinutes(double utcMilliseconds) { return script::systemTimeOffsetMinutes(utcMilliseconds); }

void Host::getUrl(const String&, const String&, HttpMethod, const std::vector<std::pair<String, String>>&) {}
void Host::fsCommand(const String&, const String&) {}
void Host::loadMovie(DisplayObjectBinding*, std::optional<int>, const String&, HttpMethod) {}
void Host::unloadMovie(DisplayObjectBinding*, std::optional<int>) {}
void Host::loadVariables(DisplayObjectBinding*, std::optional<int>, const String&, HttpMethod,
                         const std::vector<std::pair<String, String>>&) {}
bool Host::requestText(std::uint32_t, const String&, HttpMethod, const std::string&) { return false; }
void Host::startDrag(DisplayObjectBinding&, bool, const std::optional<Bounds>&) {}
std::unique_ptr<SoundBinding> Host::createSound(DisplayObjectBinding*, SoundEvents&) { return nullptr; }

}  // namespace kinolux::avm1
