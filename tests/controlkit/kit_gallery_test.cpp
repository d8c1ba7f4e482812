// Every control of the kit in one window, saved as PNG pictures at scale 1
// and 2 under build/screenshots/kit/ for a person to look at.
#include "controlkit/artwork.h"
#include "controlkit/color_button.h"
#include "controlkit/skin_button.h"
#include "controlkit/skin_slider.h"
#include "controlkit/skin_tabs.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>

namespace kinolux {
namespace {

using namespace artwork;

class Picture : public QWidget {
public:
    Picture(int id, QWidget* parent) : QWidget(parent), id_(id) { resize(NaturalSize(id)); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        Draw(painter, id_, rect());
    }

private:
    int id_;
};

void Preview(QWidget* window, int icon, const char* tip, int x, int y)
{
    auto* button = new SkinButton("", window);
    button->SetBitmaps(kPreviewNormal, kPreviewPressed, kPreviewHover, kPreviewDisabled, kPreviewFocus, kPreviewMask);
    button->SetIcon(icon);
    button->SetTooltipText(tip);
    button->setGeometry(x, y, 30, 21);
}

SkinButton* Push(QWidget* window, const char* text, int icon, QRect place)
{
    auto* button = new SkinButton(text, window);
    button->SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, kButtonMask);
    button->SetTextColor(QColor(125, 0, 0));
    if (icon) button->SetIcon(icon);
    button->setGeometry(place);
    return button;
}

TEST(KitGallery, SavesEveryControlAtScaleOneAndTwo)
{
    testing::EnsureApplication<QApplication>();
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, QColor(0xD9, 0xEA, 0xFF));
    window.setPalette(colours);
    window.resize(560, 330);

    new Picture(kBanner, &window);
    auto* menu = new SkinButton("", &window);
    menu->move(516, 12);
    menu->SetBitmaps(kMenuNormal, kMenuPressed, kMenuHover, 0, 0, kMenuMask, SkinButton::kOneToOne);
    auto* web = new SkinButton("", &window);
    web->move(476, 12);
    web->SetBitmaps(kWebNormal, kWebPressed, kWebHover, 0, 0, kWebMask, SkinButton::kOneToOne);

    Push(&window, "&Add", kIconAdd, QRect(10, 70, 90, 30));
    Push(&window, "&Remove", kIconRemove, QRect(106, 70, 90, 30));
    Push(&window, "&Convert", kIconConvert, QRect(202, 70, 90, 30));
    Push(&window, "&Options", kIconOptions, QRect(298, 70, 80, 21));
    Push(&window, "Set format as default", kIconSetDefault, QRect(384, 70, 166, 21));
    Push(&window, "Stop", 0, QRect(10, 108, 64, 22))->setDown(true);
    Push(&window, "Disabled", 0, QRect(80, 108, 80, 22))->setEnabled(false);
    SkinButton* box = Push(&window, "Checked", 0, QRect(166, 108, 80, 22));
    box->setCheckable(true);
    box->setChecked(true);

    const int icons[] = {kIconPlay,   kIconPause,     kIconFirst,    kIconPrevious, kIconNext,
                         kIconLast,   kIconCapture,   kIconMarkIn,   kIconMarkOut,  kIconZoomIn,
                         kIconZoomOut, kIconZoomReset, kIconShowAll, kIconRealSize, kIconStretch};
    int x = 10;
    for (int icon : icons) {
        Preview(&window, icon, "", x, 140);
        x += 34;
    }

    auto* colour = new ColorButton("Swf background", &window);
    for (int slot : {0, 2, 4}) colour->SetColor(slot, Qt::white);
    colour->setGeometry(260, 108, 110, 22);

    auto* slider = new SkinSlider(&window);
    slider->setGeometry(10, 172, 300, 18);
    slider->setRange(0, 99);
    slider->SetThumbColor(QColor(0, 50, 210));
    slider->SetChannelColor(QColor(166, 179, 218));
    slider->SetSelection(20, 70);
    slider->setValue(45);

    auto* tabs = new SkinTabs(&window);
    tabs->setGeometry(10, 200, 300, 120);
    for (const char* title : {"Video", "Audio", "Resize", "Crop and pad"}) tabs->addTab(new QLabel(title), title);
    tabs->SetBackgroundColor(QColor(0xD9, 0xEA, 0xFF));
    tabs->setCurrentIndex(1);

    auto* list = new Picture(kListBackground, &window);
    list->setGeometry(380, 180, 140, 140);

    window.show();
    QCoreApplication::processEvents();
    const QString folder = QStringLiteral(KINOLUX_BIN_DIR "/../screenshots/kit");
    QDir().mkpath(folder);
    for (qreal scale : {1.0, 2.0}) {
        const QImage picture = testing::Picture(window, scale);
        const QString path = folder + QStringLiteral("/controls@%1x.png").arg(int(scale));
        EXPECT_TRUE(picture.save(path)) << path.toStdString();
    }
}

}  // namespace
}  // namespace kinolux
