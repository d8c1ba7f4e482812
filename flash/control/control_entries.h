/* The engine module's control interface, as a host sees it: a small
 * COM-like set of C entries that libflash.so exports.
 *
 * A control is a Qt widget that the module creates as a child of the host's
 * widget; the host holds it by that widget and drives it by dispatch id,
 * exactly as the Flash control's published scripting interface is driven:
 * properties are read and written and methods called with small variants,
 * and the ready-state event reaches one sink per control. The module and
 * the host share the process's one Qt, so the widget is an ordinary child:
 * the host sizes, shows, filters and deletes it like any other.
 *
 * Every entry runs on the thread of the control's widget. Results follow
 * COM: 0 for success, a negative code for failure. */
#ifndef KINOLUX_FLASH_CONTROL_ENTRIES_H
#define KINOLUX_FLASH_CONTROL_ENTRIES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define FLASH_CONTROL_API __attribute__((visibility("default")))

/* Results */
#define FLASH_S_OK 0
#define FLASH_E_INVALIDARG ((int32_t)0x80070057)
#define FLASH_E_POINTER ((int32_t)0x80004003)
#define FLASH_E_FAIL ((int32_t)0x80004005)
#define FLASH_DISP_E_MEMBERNOTFOUND ((int32_t)0x80020003)
#define FLASH_DISP_E_TYPEMISMATCH ((int32_t)0x80020005)
#define FLASH_DISP_E_BADPARAMCOUNT ((int32_t)0x8002000E)

/* How a dispatch id is invoked (the values of IDispatch::Invoke) */
#define FLASH_DISPATCH_METHOD 0x1
#define FLASH_DISPATCH_PROPERTYGET 0x2
#define FLASH_DISPATCH_PROPERTYPUT 0x4

/* The dispatch ids of the Flash control's interface */
#define FLASH_DISPID_MOVIE 0x66
#define FLASH_DISPID_FRAMENUM 0x6B
#define FLASH_DISPID_PLAY 0x70
#define FLASH_DISPID_STOP 0x71
#define FLASH_DISPID_ZOOM 0x76
#define FLASH_DISPID_SCALEMODE 0x78
#define FLASH_DISPID_BACKGROUNDCOLOR 0x7B
#define FLASH_DISPID_TOTALFRAMES 0x7C
#define FLASH_DISPID_STOPPLAY 0x7E
#define FLASH_DISPID_GOTOFRAME 0x7F
#define FLASH_DISPID_CURRENTFRAME 0x80
#define FLASH_DISPID_ISPLAYING 0x81
#define FLASH_DISPID_LOADMOVIE 0x8E
/* The event fired when the ready state changes; its one argument is the
 * state, 4 once a movie is loaded and ready. */
#define FLASH_DISPID_READYSTATECHANGE (-609)
#define FLASH_READYSTATE_COMPLETE 4

/* Variant types (the values of VARTYPE) */
#define FLASH_VT_EMPTY 0
#define FLASH_VT_I4 3
#define FLASH_VT_BSTR 8
#define FLASH_VT_BOOL 11

/* A small variant: an integer, a boolean (nonzero is true) or a UTF-8 text.
 * A text in a result belongs to the caller, who frees it with
 * FlashVariantClear; a text in an argument stays the caller's. */
typedef struct FlashVariant {
    uint16_t type;
    int32_t value;
    char* text;
} FlashVariant;

/* An event: the dispatch id, then the arguments in order. */
typedef void (*FlashEventSink)(void* context, int32_t dispid, const FlashVariant* args, uint32_t argCount);

/* A new control, a child widget (QWidget*) of `parentWidget`, with an empty
 * stage; null when parentWidget is null. */
FLASH_CONTROL_API void* FlashControlCreate(void* parentWidget);

/* Invokes `dispid` as `flags` asks, with `argCount` arguments. `result` may
 * be null when the caller wants none; it is cleared first otherwise. */
FLASH_CONTROL_API int32_t FlashControlInvoke(void* control, int32_t dispid, uint16_t flags, const FlashVariant* args,
                                             uint32_t argCount, FlashVariant* result);

/* Connects the one event sink of the control (a null sink disconnects). */
FLASH_CONTROL_API int32_t FlashControlAdvise(void* control, FlashEventSink sink, void* context);

/* Paints the current frame, at the control's size, scale mode and zoom, on
 * its background colour, into the top-left of `picture` (a QImage*). */
FLASH_CONTROL_API int32_t FlashControlPrint(void* control, void* picture);

/* 1 while the frame the control last moved to is still being drawn, so a
 * picture printed now would not show it yet; 0 once it is drawn. A host
 * that finds no such entry cannot tell, and waits the longest a frame may
 * take. This engine draws a frame when it is printed: it always answers 0. */
FLASH_CONTROL_API int32_t FlashControlFrameDrawing(void* control);

/* Frees a result's text and empties the variant. */
FLASH_CONTROL_API void FlashVariantClear(FlashVariant* variant);

#ifdef __cplusplus
}
#endif

#endif
