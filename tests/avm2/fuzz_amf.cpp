// Reads arbitrary bytes as an AMF stream with ByteArray.readObject (the
// first byte picks AMF0 or AMF3), then writes what came back in both
// encodings. A hostile stream may only end in the player's errors.
#include <cstddef>
#include <cstdint>

#include "tests/avm2/machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kinolux::avm2;
    if (size == 0) return 0;
    avm2test::Machine machine(avm2test::fuzzLimits());
    Vm& vm = machine.vm;
    vm.guarded([&] {
        Value cls(static_cast<Object*>(vm.findClass(u"flash.utils.ByteArray")->object));
        Value bytes = vm.constructValue(cls, {});
        auto* box = static_cast<BoxObject*>(bytes.object());
        box->encoding = data[0] & 1 ? 3 : 0;
        box->bytes.assign(reinterpret_cast<const char*>(data + 1), size - 1);
        Value read = vm.callProperty(bytes, Multiname::publicName(String(u"readObject")), {});
        for (int encoding : {0, 3}) {
            Value out = vm.constructValue(cls, {});
            vm.setPublic(out, u"objectEncoding", Value(encoding));
            Value args[] = {read};
            vm.callProperty(out, Multiname::publicName(String(u"writeObject")), args);
        }
    });
    return 0;
}
