#include "flash/avm1/builtins/members.h"

namespace kinolux::avm1::builtins {

void defineMembers(Vm& vm, Object& target, std::span<const Member> members) {
    for (const Member& m : members) {
        switch (m.kind) {
        case Member::Kind::Method: vm.defineMethod(target, m.name, m.function, m.flags); break;
        case Member::Kind::Accessor: vm.defineProperty(target, m.name, m.function, m.setter, m.flags); break;
        case Member::Kind::Number: target.defineValue(String(m.name), Value(m.number), m.flags); break;
        }
    }
}

}  // namespace kinolux::avm1::builtins
