#include "controlkit/skin_tabs.h"

#include "controlkit/shades.h"

#include <QPainter>
#include <algorithm>

namespace kinolux {

namespace {

constexpr double kSelectedBrighten = 1.4;
constexpr double kUnselectedBottomDim = 0.7;
constexpr double kLitEdge = 1.5;
constexpr double kShadedEdge = 0.75;
constexpr double kUnselectedText = 0.5;
constexpr int kBand = 2;
constexpr int kRaise = 2;

}  // namespace

SkinTabBar::SkinTabBar(QWidget* parent) : QTabBar(parent) { setDrawBase(false); }

void SkinTabBar::SetBackgroundColor(const QColor& colour)
{
    background_ = colour;
    update();
}

void SkinTabBar::SetDrawStyle(int style)
{
    style_ = std::clamp(style, 0, 2);
    update();
}

QColor SkinTabBar::Background() const
{
    return background_.isValid() ? background_ : palette().color(QPalette::Button);
}

QColor SkinTabBar::TabColor(bool selected) const
{
    if (!background_.isValid()) return palette().color(QPalette::Button);
    return selected ? Brighten(background_, kSelectedBrighten) : background_;
}

QColor SkinTabBar::GradientEnd(bool selected) const
{
    return selected ? palette().color(QPalette::Button) : Dim(Background(), kUnselectedBottomDim);
}

QColor SkinTabBar::TextColor(bool selected) const
{
    return selected ? palette().color(QPalette::WindowText) : Dim(Background(), kUnselectedText);
}

void SkinTabBar::DrawTab(QPainter& painter, int index, bool selected) const
{
    QRect area = tabRect(index);
    if (!selected) area.setTop(area.top() + kRaise);
    const QColor top = TabColor(selected);
    const QColor bottom = GradientEnd(selected);
    // Bands of two pixels: the gradient the window has always had, and on a
    // scaled display still a smooth one.
    const int bands = std::max(1, (area.height() + kBand - 1) / kBand);
    for (int band = 0; band < bands; ++band) {
        const double t = bands == 1 ? 0.0 : double(band) / (bands - 1);
        const QColor colour(int(top.red() + (bottom.red() - top.red()) * t),
                            int(top.green() + (bottom.green() - top.green()) * t),
                            int(top.blue() + (bottom.blue() - top.blue()) * t));
        painter.fillRect(QRect(area.left(), area.top() + band * kBand, area.width(), kBand).intersected(area), colour);
    }
    if (selected) {
        painter.setPen(Brighten(top, kLitEdge));
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.drawLine(area.topLeft(), area.topRight());
        painter.setPen(Dim(top, kShadedEdge));
        painter.drawLine(area.topRight(), area.bottomRight());
    } else {
        painter.setPen(Dim(top, kShadedEdge));
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.drawLine(area.topRight(), area.bottomRight());
    }
    QRect content = area.adjusted(6, 0, -6, 0);
    const QIcon icon = tabIcon(index);
    if (!icon.isNull()) {
        const QSize size = iconSize();
        const QRect place(content.left(), content.top() + (content.height() - size.height()) / 2, size.width(), size.height());
        icon.paint(&painter, place);
        content.setLeft(place.right() + 4);
    }
    painter.setPen(TextColor(selected));
    painter.drawText(content, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, tabText(index));
}

void SkinTabBar::paintEvent(QPaintEvent* event)
{
    if (style_ != 2) {
        QTabBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Background());
    const int selected = currentIndex();
    for (int index = count() - 1; index >= 0; --index)
        if (index != selected) DrawTab(painter, index, false);
    if (selected >= 0) DrawTab(painter, selected, true);
}

SkinTabs::SkinTabs(QWidget* parent) : QTabWidget(parent), bar_(new SkinTabBar(this)) { setTabBar(bar_); }

void SkinTabs::SetBackgroundColor(const QColor& colour)
{
    bar_->SetBackgroundColor(colour);
    update();
}

void SkinTabs::SetDrawStyle(int style)
{
    bar_->SetDrawStyle(style);
    update();
}

void SkinTabs::paintEvent(QPaintEvent* event)
{
    // The strip beside and above the tabs shows the window's colour, not
    // the system's.
    if (bar_->DrawStyle() == 2) {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width(), bar_->geometry().bottom() + 1), bar_->Background());
    }
    QTabWidget::paintEvent(event);
}

}  // namespace kinolux
