// The module's exported C entries: a thin layer over FlashControl and the
// dispatch table.
#include "flash/control/control_entries.h"

#include "flash/control/dispatch.h"
#include "flash/control/flash_control.h"

#include <QImage>
#include <cstdlib>

namespace {

// The control behind a handle; null for a widget of any other kind.
flash::FlashControl* controlOf(void* handle)
{
    return dynamic_cast<flash::FlashControl*>(static_cast<QWidget*>(handle));
}

}  // namespace

extern "C" {

void* FlashControlCreate(void* parentWidget)
{
    if (!parentWidget) return nullptr;
    return static_cast<QWidget*>(new flash::FlashControl(static_cast<QWidget*>(parentWidget)));
}

int32_t FlashControlInvoke(void* control, int32_t dispid, uint16_t flags, const FlashVariant* args,
                           uint32_t argCount, FlashVariant* result)
{
    flash::FlashControl* target = control ? controlOf(control) : nullptr;
    if (!target) return FLASH_E_INVALIDARG;
    if (argCount && !args) return FLASH_E_POINTER;
    return flash::invokeOperation(*target, dispid, flags, {args, argCount}, result);
}

int32_t FlashControlAdvise(void* control, FlashEventSink sink, void* context)
{
    flash::FlashControl* target = control ? controlOf(control) : nullptr;
    if (!target) return FLASH_E_INVALIDARG;
    target->setEventSink(sink, context);
    return FLASH_S_OK;
}

int32_t FlashControlPrint(void* control, void* picture)
{
    flash::FlashControl* target = control ? controlOf(control) : nullptr;
    if (!target) return FLASH_E_INVALIDARG;
    if (!picture) return FLASH_E_POINTER;
    target->print(*static_cast<QImage*>(picture));
    return FLASH_S_OK;
}

int32_t FlashControlFrameDrawing(void*)
{
    return 0;
}

void FlashVariantClear(FlashVariant* variant)
{
    if (!variant) return;
    std::free(variant->text);
    *variant = {FLASH_VT_EMPTY, 0, nullptr};
}

}  // extern "C"
