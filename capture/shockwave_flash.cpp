#include "capture/shockwave_flash.h"

#include <QEvent>
#include <QMouseEvent>

namespace kinolux {

namespace {

FlashVariant IntegerArgument(long value)
{
    return {FLASH_VT_I4, std::int32_t(value), nullptr};
}

// The text stays the caller's: the control copies what it keeps.
FlashVariant TextArgument(const std::string& text)
{
    return {FLASH_VT_BSTR, 0, const_cast<char*>(text.c_str())};
}

}  // namespace

CShockwaveFlash::CShockwaveFlash(QWidget* parent, int itemId) : QWidget(parent)
{
    setProperty("itemId", itemId);
    setCursor(Qt::ArrowCursor);
    module_ = LoadFlashControlModule(&creationError_);
    if (!module_) return;
    control_ = static_cast<QWidget*>(module_->create(this));
    if (!control_) {
        creationError_ = "The Flash engine module did not create its control";
        return;
    }
    control_->setGeometry(rect());
    control_->installEventFilter(this);
    module_->advise(control_, &CShockwaveFlash::OnControlEvent, this);
}

CShockwaveFlash::~CShockwaveFlash()
{
    // The control outlives this body (it goes with the widget's children):
    // it must not call back into a wrapper that is half gone.
    if (control_) module_->advise(control_, nullptr, nullptr);
}

FlashVariant CShockwaveFlash::InvokeHelper(std::int32_t dispid, std::uint16_t flags,
                                           std::initializer_list<FlashVariant> args)
{
    FlashVariant result{FLASH_VT_EMPTY, 0, nullptr};
    if (!control_) {
        lastResult_ = FLASH_E_FAIL;
        return result;
    }
    lastResult_ = module_->invoke(control_, dispid, flags, args.begin(), std::uint32_t(args.size()), &result);
    return result;
}

long CShockwaveFlash::IntegerOf(FlashVariant result)
{
    const long value = result.type == FLASH_VT_I4 || result.type == FLASH_VT_BOOL ? result.value : 0;
    if (module_) module_->clearVariant(&result);
    return value;
}

long CShockwaveFlash::GetTotalFrames()
{
    return IntegerOf(InvokeHelper(FLASH_DISPID_TOTALFRAMES, FLASH_DISPATCH_PROPERTYGET));
}

void CShockwaveFlash::SetScaleMode(long mode)
{
    InvokeHelper(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {IntegerArgument(mode)});
}

void CShockwaveFlash::SetBackgroundColor(long rgb)
{
    InvokeHelper(FLASH_DISPID_BACKGROUNDCOLOR, FLASH_DISPATCH_PROPERTYPUT, {IntegerArgument(rgb)});
}

std::string CShockwaveFlash::GetMovie()
{
    FlashVariant result = InvokeHelper(FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYGET);
    std::string movie = result.type == FLASH_VT_BSTR && result.text ? result.text : "";
    if (module_) module_->clearVariant(&result);
    return movie;
}

void CShockwaveFlash::SetMovie(const std::string& path)
{
    InvokeHelper(FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, {TextArgument(path)});
}

long CShockwaveFlash::GetFrameNum()
{
    return IntegerOf(InvokeHelper(FLASH_DISPID_FRAMENUM, FLASH_DISPATCH_PROPERTYGET));
}

void CShockwaveFlash::SetFrameNum(long frame)
{
    InvokeHelper(FLASH_DISPID_FRAMENUM, FLASH_DISPATCH_PROPERTYPUT, {IntegerArgument(frame)});
}

void CShockwaveFlash::Zoom(int percent)
{
    InvokeHelper(FLASH_DISPID_ZOOM, FLASH_DISPATCH_METHOD, {IntegerArgument(percent)});
}

void CShockwaveFlash::Play()
{
    InvokeHelper(FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD);
}

void CShockwaveFlash::Stop()
{
    InvokeHelper(FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
}

void CShockwaveFlash::StopPlay()
{
    InvokeHelper(FLASH_DISPID_STOPPLAY, FLASH_DISPATCH_METHOD);
}

void CShockwaveFlash::GotoFrame(long frame)
{
    InvokeHelper(FLASH_DISPID_GOTOFRAME, FLASH_DISPATCH_METHOD, {IntegerArgument(frame)});
}

long CShockwaveFlash::CurrentFrame()
{
    return IntegerOf(InvokeHelper(FLASH_DISPID_CURRENTFRAME, FLASH_DISPATCH_METHOD));
}

bool CShockwaveFlash::IsPlaying()
{
    return IntegerOf(InvokeHelper(FLASH_DISPID_ISPLAYING, FLASH_DISPATCH_METHOD)) != 0;
}

void CShockwaveFlash::LoadMovie(int layer, const std::string& url)
{
    InvokeHelper(FLASH_DISPID_LOADMOVIE, FLASH_DISPATCH_METHOD, {IntegerArgument(layer), TextArgument(url)});
}

bool CShockwaveFlash::PrintInto(QImage& picture)
{
    if (!control_ || picture.isNull()) return false;
    FitControl();
    return module_->print(control_, &picture) == FLASH_S_OK;
}

bool CShockwaveFlash::FrameStillDrawing() const
{
    if (!control_) return false;
    return !module_->frameDrawing || module_->frameDrawing(control_) != 0;
}

bool CShockwaveFlash::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != control_) return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) return false;
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    // The context menu never opens; the movie is clicked only where the
    // capture lets the user play it.
    if (button == Qt::RightButton) return true;
    if (button == Qt::LeftButton) return allowClicks_ != 1;
    return false;
}

void CShockwaveFlash::resizeEvent(QResizeEvent*)
{
    FitControl();
}

void CShockwaveFlash::FitControl()
{
    if (control_ && control_->geometry() != rect()) control_->setGeometry(rect());
}

void CShockwaveFlash::OnControlEvent(void* context, std::int32_t dispid, const FlashVariant* args, std::uint32_t count)
{
    auto* wrapper = static_cast<CShockwaveFlash*>(context);
    if (dispid != FLASH_DISPID_READYSTATECHANGE || count < 1 || !wrapper->readyStateHandler_) return;
    wrapper->readyStateHandler_(args[0].value);
}

}  // namespace kinolux
