// A text that opens an address when clicked, like a link in a web page:
// a hand cursor over it, underlined while the mouse is over it, another
// colour once visited, and its address as tooltip unless it has its own.
// The address goes to the desktop's handler (xdg-open), or to the system's
// web browser when that fails; when both fail the user is told why.
#pragma once

#include <QLabel>
#include <QProcess>
#include <functional>
#include <memory>
#include <string>

namespace kinolux {

// The design's result codes of opening a document: above 32 success.
inline constexpr int kOpenSucceeded = 33;

// What the desktop opener's end means as such a code: xdg-open's 0 is
// success, 2 (file not found) 2, 3 (a required tool missing) and a handler
// that cannot be started 31 (no application associated), 1 (bad command
// line) 27 (association invalid), 4 (action failed) and anything else 0.
int OpenResultCode(bool started, QProcess::ExitStatus status, int exitCode);

// "Unable to open hyperlink:\n\n" and the text of the code.
std::string HyperLinkErrorMessage(int code);

class HyperLink : public QLabel {
public:
    explicit HyperLink(QWidget* parent = nullptr);

    // Sets the address and the tooltip; with the fit flag the label takes
    // the size of its text, keeping its place by its alignment.
    void SetAddress(const std::string& address);
    void SetTooltip(const std::string& tooltip);
    void SetFitToText(bool fit) { fitToText_ = fit; }

    const std::string& Address() const { return address_; }
    bool Visited() const { return visited_; }
    bool Hovered() const { return hovered_; }
    // True from a click until its handler's answer has been dealt with.
    bool Opening() const { return opener_ != nullptr; }

    // What a click does.
    void Open();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void UpdateLook();
    void UpdateTooltip();
    void FitToText();
    // Runs `program` on the address; `then` receives the result code.
    void StartOpener(const QString& program, std::function<void(int)> then);
    void Finish(int code);

    std::string address_;
    std::string tooltip_;
    bool visited_ = false;
    bool hovered_ = false;
    bool fitToText_ = true;
    std::unique_ptr<QProcess> opener_;
};

}  // namespace kinolux
