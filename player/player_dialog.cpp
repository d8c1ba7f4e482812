#include "player/player_dialog.h"

#include "bindings/veneer.h"
#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/dialog_units.h"
#include "capture/pump_events.h"
#include "capture/shockwave_flash.h"
#include "controlkit/artwork.h"
#include "platform/report.h"
#include "platform/winmm/winmm.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QThread>
#include <unistd.h>

namespace kinolux {

namespace {

// The window's template, in dialog units.
const QRect kWindowUnits(0, 0, 267, 25);
const QRect kFlashUnits(5, 4, 6, 6);
const QRect kProgressUnits(3, 13, 260, 9);
const QRect kPathTextUnits(17, 3, 245, 8);
constexpr int kFlashItemId = 1000;
constexpr int kProgressItemId = 1001;
constexpr int kPathTextItemId = 1003;

const QColor kStaticTextColour(0x5D, 0x79, 0xA1);

// The control gets up to this long, without events, to take in the movie;
// the wait ends as soon as it reports the movie ready.
constexpr int kLoadWaits = 10;
constexpr unsigned long kLoadWaitMs = 100;

// "Stretch to fit": the movie fills the control.
constexpr long kExactFit = 2;

bool CanShowMessageBox()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

}  // namespace

PlayerDialog::PlayerDialog(const PlayerArguments& arguments) : arguments_(arguments), parent_(getppid())
{
    setWindowTitle(QString::fromUtf8(kPlayerCaption));
    // A tool window: no button on the taskbar.
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowIcon(artwork::ApplicationIcon());
    setFixedSize(DialogUnitsToPixels(*this, kWindowUnits).size());

    flash_ = new CShockwaveFlash(this, kFlashItemId);
    flash_->setGeometry(DialogUnitsToPixels(*this, kFlashUnits));
    flash_->setVisible(false);

    progress_ = new QProgressBar(this);
    progress_->setProperty("itemId", kProgressItemId);
    progress_->setGeometry(DialogUnitsToPixels(*this, kProgressUnits));
    progress_->setTextVisible(false);

    pathText_ = new QLabel(this);
    pathText_->setProperty("itemId", kPathTextItemId);
    pathText_->setGeometry(DialogUnitsToPixels(*this, kPathTextUnits));
    QPalette palette = pathText_->palette();
    palette.setColor(QPalette::WindowText, kStaticTextColour);
    pathText_->setPalette(palette);
    pathText_->setAutoFillBackground(false);

    QVS_AddFilterHook(this);
    RegisterOnBus();
}

PlayerDialog::~PlayerDialog() = default;

void PlayerDialog::RegisterOnBus()
{
    std::string error;
    if (!bus_.Register(kPlayerCaption, [this](const BusMessage& message) { return OnBusMessage(message); }, error))
        ReportMessage("The player cannot be found by the main program: " + error);
}

int64_t PlayerDialog::OnBusMessage(const BusMessage& message)
{
    switch (message.message) {
    case WM_COPYDATA:
        OnGreeting(message);
        return 1;
    case WM_CLOSE:
        PostClose();
        return 0;
    default:
        return 0;
    }
}

void PlayerDialog::OnGreeting(const BusMessage& message)
{
    if (mainWindow_) return;
    mainWindow_ = message.wParam;
    if (mainWindow_) return;
    if (arguments_.consoleMode || !CanShowMessageBox())
        WriteConsoleLine("recv error.");
    else
        QMessageBox(QMessageBox::NoIcon, "recv", "error", QMessageBox::Ok, this).exec();
}

void PlayerDialog::StartPlayback()
{
    CallInterceptor& interceptor = CallInterceptor::Instance();
    // Whatever goes wrong with the interception is always shown.
    interceptor.consoleMode = arguments_.consoleMode;
    interceptor.Install();
    if (arguments_.inputPath.empty() || arguments_.wavPath.empty() || arguments_.syncPath.empty()) return;

    if (!syncFile_.Create(arguments_.syncPath)) ReportMessage("create sync file error.");
    frames_ = FrameWatch{};
    AudioTap& tap = AudioTap::Instance();
    tap.AbandonWav();
    tap.OpenWav(arguments_.wavPath);

    LoadMovie();
    if (flash_->GetTotalFrames() <= 0) {
        // Nothing would ever play: the files are completed at once, so the
        // main program does not wait for records that never come.
        ReportMessage("can not load the movie " + arguments_.inputPath);
        PostClose();
        return;
    }
    interceptor.SetMode(kModeSoundCapture);
    progress_->setRange(0, arguments_.totalFrames);

    flash_->GotoFrame(arguments_.fromFrame);
    flash_->Play();
    startTick_ = ::timeGetTime();
    playing_ = true;
    // The movie runs its frames on a timer of this thread: the thread is
    // about to wait right after one has run.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &PlayerDialog::WatchFrame);
    PumpPendingEvents();
    flash_->setVisible(false);
    timer_.start(TickIntervalMs(arguments_.frameRate), Qt::PreciseTimer, this);
    pathText_->setText(QString::fromStdString(arguments_.inputPath));
}

void PlayerDialog::LoadMovie()
{
    bool ready = false;
    flash_->SetReadyStateHandler([&ready](int state) {
        if (state == FLASH_READYSTATE_COMPLETE) ready = true;
    });
    flash_->LoadMovie(0, "");
    flash_->SetMovie(arguments_.inputPath);
    lastTime_ = 0;
    flash_->LoadMovie(0, "");
    flash_->LoadMovie(0, arguments_.inputPath);
    ready = false;  // the movie that plays is the one set last
    flash_->SetMovie(arguments_.inputPath);
    flash_->SetScaleMode(kExactFit);
    for (int wait = 0; wait < kLoadWaits && !ready; ++wait) QThread::msleep(kLoadWaitMs);
    flash_->SetReadyStateHandler({});
    flash_->Play();
}

int PlayerDialog::Run()
{
    if (!arguments_.consoleMode) return exec();
    // In console mode the window works unseen.
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    if (!finished_) loop.exec();
    return 0;
}

}  // namespace kinolux
