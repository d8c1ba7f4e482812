// The flash.geom package object and its classes.
#include "flash/avm1/builtins/geom.h"

namespace kinolux::avm1::builtins {

void installGeom(Vm& vm) {
    Object& global = *vm.global();
    ObjectRef flash = vm.toObject(global.ownValue(String(u"flash"), true));
    if (!flash) {
        flash = vm.newObject();
        global.defineValue(u"flash", Value(flash), PropertyFlag::DontEnum | PropertyFlag::OnlySwf8Up);
    }
    ObjectRef geom = vm.newObject();
    flash->defineValue(u"geom", Value(geom), PropertyFlag::DontEnum);
    installPoint(vm, *geom);
    installRectangle(vm, *geom);
    installMatrix(vm, *geom);
    installColorTransform(vm, *geom);
    installTransform(vm, *geom);
}

}  // namespace kinolux::avm1::builtins
