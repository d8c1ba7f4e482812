// A tab control whose tabs the program draws: each tab a gradient in the
// window's own background colour, the selected one brighter and two pixels
// taller. Used in place of QTabWidget.
#pragma once

#include <QColor>
#include <QTabBar>
#include <QTabWidget>

namespace kinolux {

class SkinTabBar : public QTabBar {
public:
    explicit SkinTabBar(QWidget* parent);

    void SetBackgroundColor(const QColor& colour);  // invalid: the button face
    void SetDrawStyle(int style);                    // 2 drawn here; 0 and 1 by the system
    int DrawStyle() const { return style_; }
    QColor Background() const;

    // The colours of one tab: its top, the bottom of its gradient, its text.
    QColor TabColor(bool selected) const;
    QColor GradientEnd(bool selected) const;
    QColor TextColor(bool selected) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawTab(QPainter& painter, int index, bool selected) const;

    QColor background_;
    int style_ = 2;
};

class SkinTabs : public QTabWidget {
public:
    explicit SkinTabs(QWidget* parent);

    void SetBackgroundColor(const QColor& colour);
    void SetDrawStyle(int style);
    SkinTabBar& Bar() const { return *bar_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkinTabBar* bar_;
};

}  // namespace kinolux
