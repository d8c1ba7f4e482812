#include "shell/hyper_link.h"

#include <QEnterEvent>
#include <QMouseEvent>

#include "platform/integer_format.h"
#include "platform/report.h"
#include "shell/external_programs.h"

namespace kinolux {

namespace {

// The system's web browser on Debian (the alternatives system's choice).
constexpr const char* kSystemBrowser = "x-www-browser";

const QColor kLinkColour(0, 0, 238);
const QColor kVisitedColour(85, 26, 139);

}  // namespace

int OpenResultCode(bool started, QProcess::ExitStatus status, int exitCode) {
    if (!started) return 31;
    if (status != QProcess::NormalExit) return 0;
    switch (exitCode) {
        case 0: return kOpenSucceeded;
        case 1: return 27;
        case 2: return 2;
        case 3: return 31;
        default: return 0;
    }
}

std::string HyperLinkErrorMessage(int code) {
    const char* text = nullptr;
    switch (code) {
        case 0: text = "The operating system is out\nof memory or resources."; break;
        case 2: text = "The specified file was not found."; break;
        case 3: text = "The specified path was not found."; break;
        case 5: text = "The operating system denied\naccess to the specified file."; break;
        case 8: text = "There was not enough memory to complete the operation."; break;
        case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
        case 26: text = "A sharing violation occurred. "; break;
        case 27: text = "The filename association is\nincomplete or invalid."; break;
        case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
        case 29: text = "The DDE transaction failed."; break;
        case 30:
            text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
            break;
        case 31: text = "There is no application associated\nwith the given filename extension."; break;
        case 32: text = "The specified dynamic-link library was not found."; break;
    }
    std::string detail = text ? text : FormatIntegers("Unknown Error (%d) occurred.", {code});
    return "Unable to open hyperlink:\n\n" + detail;
}

HyperLink::HyperLink(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    UpdateLook();
}

void HyperLink::SetAddress(const std::string& address) {
    address_ = address;
    UpdateTooltip();
    if (fitToText_) FitToText();
}

void HyperLink::SetTooltip(const std::string& tooltip) {
    tooltip_ = tooltip;
    UpdateTooltip();
}

void HyperLink::UpdateTooltip() { setToolTip(QString::fromStdString(tooltip_.empty() ? address_ : tooltip_)); }

void HyperLink::UpdateLook() {
    QFont look = font();
    look.setUnderline(hovered_);
    setFont(look);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, visited_ ? kVisitedColour : kLinkColour);
    setPalette(colours);
    update();
}

void HyperLink::FitToText() {
    const QRect old = geometry();
    const QSize text = sizeHint();
    QRect fitted(old.topLeft(), QSize(text.width(), old.height()));
    if (alignment() & Qt::AlignHCenter) fitted.moveLeft(old.center().x() - text.width() / 2);
    else if (alignment() & Qt::AlignRight) fitted.moveRight(old.right());
    if (alignment() & Qt::AlignVCenter) {
        fitted.setHeight(text.height());
        fitted.moveTop(old.center().y() - text.height() / 2);
    }
    setGeometry(fitted);
}

void HyperLink::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    UpdateLook();
    QLabel::enterEvent(event);
}

void HyperLink::leaveEvent(QEvent* event) {
    hovered_ = false;
    UpdateLook();
    QLabel::leaveEvent(event);
}

void HyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Open();
    QLabel::mouseReleaseEvent(event);
}

void HyperLink::Open() {
    if (opener_) return;  // the last click is still being handled
    StartOpener(QString::fromLatin1(kDesktopOpener), [this](int code) {
        if (code > 32) return Finish(code);
        // The desktop could not open it: the web browser may still.
        StartOpener(QString::fromLatin1(kSystemBrowser), [this, code](int browserCode) {
            Finish(browserCode > 32 ? browserCode : code);
        });
    });
}

void HyperLink::StartOpener(const QString& program, std::function<void(int)> then) {
    opener_ = std::make_unique<QProcess>();
    QProcess* process = opener_.get();
    process->setProgram(program);
    process->setArguments({QString::fromStdString(address_)});
    process->setStandardInputFile(QProcess::nullDevice());
    // Both signals are delivered from the event loop, after the process
    // object has finished its own work, so it may be replaced there.
    connect(process, &QProcess::finished, this, [this, then](int exitCode, QProcess::ExitStatus status) {
        opener_.release()->deleteLater();
        then(OpenResultCode(true, status, exitCode));
    }, Qt::QueuedConnection);
    connect(process, &QProcess::errorOccurred, this, [this, then](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        opener_.release()->deleteLater();
        then(OpenResultCode(false, QProcess::NormalExit, 0));
    }, Qt::QueuedConnection);
    process->start();
}

void HyperLink::Finish(int code) {
    if (code > 32) {
        visited_ = true;
        UpdateLook();
        return;
    }
    ReportWarning(HyperLinkErrorMessage(code));
}

}  // namespace kinolux
