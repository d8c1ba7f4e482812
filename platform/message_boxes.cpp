#include "platform/message_boxes.h"

#include "platform/report.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <cstdio>

namespace kinolux {

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

bool CanShowMessageBox() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QGuiApplication::platformName() != QLatin1String("offscreen");
}

bool OnApplicationThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

void ShowBox(const QString& text, bool warning) {
    if (warning) QApplication::beep();
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok);
    box.exec();
}

class BoxPresenter : public MessagePresenter {
public:
    void Show(std::string_view text, bool warning) override {
        if (!CanShowMessageBox()) {
            WriteConsoleLine(text);
            return;
        }
        const QString shown = ToQString(text);
        // A widget made off the application's thread brings the program down.
        if (OnApplicationThread())
            ShowBox(shown, warning);
        else
            QMetaObject::invokeMethod(QCoreApplication::instance(), [shown, warning] { ShowBox(shown, warning); },
                                      Qt::QueuedConnection);
    }
    bool AskYesNo(std::string_view text) override {
        if (!CanShowMessageBox() || !OnApplicationThread()) return false;
        QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), ToQString(text),
                        QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
};

BoxPresenter boxes;

}  // namespace

MessageBoxes::MessageBoxes() { SetMessagePresenter(&boxes); }

MessageBoxes::~MessageBoxes() { SetMessagePresenter(nullptr); }

}  // namespace kinolux
