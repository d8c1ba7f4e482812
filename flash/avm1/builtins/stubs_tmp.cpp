#include "flash/avm1/builtins/builtins.h"
namespace kinolux::avm1::builtins {
void installXml(Vm&) {}
void installLoadVars(Vm&) {}
void installDate(Vm&) {}
ObjectRef makeXmlNode(Vm& vm, const Value& proto) { return vm.heap().make<Object>(proto); }
}
