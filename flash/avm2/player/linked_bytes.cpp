// A ByteArray class SymbolClass links to a DefineBinaryData (an embedded
// file) starts out holding the file's bytes.
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/library.h"

namespace flash {
namespace {

using namespace as3;

Value byteArrayInit(Vm& vm, const Value& self, Args) {
    auto* bytes = dynamic_cast<kinolux::avm2::BoxObject*>(self.object());
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bytes || !bridge) return Value();
    for (Class* c = bytes->cls; c; c = c->super) {
        const Character* character = bridge->symbolCharacter(c);
        const auto* data = character ? character->as<swf::DefineBinaryData>() : nullptr;
        if (!data) continue;
        vm.charge(data->data.size());
        bytes->bytes.assign(data->data.begin(), data->data.end());
        break;
    }
    return Value();
}

}  // namespace

void installLinkedBytes(Vm& vm) {
    Class* byteArray = vm.findClass(u"flash.utils.ByteArray");
    vm.defineConstructor(byteArray, byteArrayInit);
}

}  // namespace flash
