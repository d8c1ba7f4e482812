// One of our pictures filling a widget with its proportions kept, with an
// optional line of text under it: the main window's banner and the picture
// an empty task list shows. It takes no clicks, so what lies under it (the
// banner's link, the list) keeps them.
#pragma once

#include <QWidget>

namespace kinolux {

class ArtworkPicture : public QWidget {
public:
    ArtworkPicture(int pictureId, Qt::Alignment alignment, QWidget* parent);

    // Drawn under the picture, wrapped to the widget's width.
    void SetCaption(const QString& text);
    const QString& Caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int pictureId_;
    Qt::Alignment alignment_;
    QString caption_;
};

}  // namespace kinolux
