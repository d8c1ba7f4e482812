#include "controlkit/artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>
#include <map>
#include <memory>

// The resource compiler's initialiser lives outside every namespace; a
// static library's pictures are only linked in when something calls it.
static void LinkArtwork() { Q_INIT_RESOURCE(kinolux_artwork); }

namespace kinolux::artwork {

namespace {

struct Picture {
    int id;
    const char* file;   // in the artwork resource folder
    int border;         // logical pixels kept unstretched on every side
};

constexpr std::array kPictures{
    Picture{kButtonHover, "button_hover", 5},     Picture{kButtonPressed, "button_pressed", 5},
    Picture{kButtonMask, "button_mask", 5},       Picture{kButtonNormal, "button_normal", 5},
    Picture{kWebHover, "web_hover", 0},           Picture{kWebPressed, "web_pressed", 0},
    Picture{kWebMask, "round_mask", 0},           Picture{kWebNormal, "web_normal", 0},
    Picture{kMenuHover, "menu_hover", 0},         Picture{kMenuPressed, "menu_pressed", 0},
    Picture{kMenuMask, "round_mask", 0},          Picture{kMenuNormal, "menu_normal", 0},
    Picture{kPreviewNormal, "preview_normal", 6}, Picture{kPreviewHover, "preview_hover", 6},
    Picture{kPreviewFocus, "preview_focus", 6},   Picture{kPreviewPressed, "preview_pressed", 6},
    Picture{kPreviewDisabled, "preview_disabled", 6}, Picture{kPreviewMask, "preview_mask", 6},
    Picture{kIconSetDefault, "icon_set_default", 0}, Picture{kIconAdd, "icon_add", 0},
    Picture{kIconRemove, "icon_remove", 0},       Picture{kIconConvert, "icon_convert", 0},
    Picture{kIconOptions, "icon_options", 0},     Picture{kIconFormats, "icon_formats", 0},
    Picture{kIconPlay, "icon_play", 0},           Picture{kIconPause, "icon_pause", 0},
    Picture{kIconFirst, "icon_first", 0},         Picture{kIconPrevious, "icon_previous", 0},
    Picture{kIconNext, "icon_next", 0},           Picture{kIconLast, "icon_last", 0},
    Picture{kIconMarkIn, "icon_mark_in", 0},      Picture{kIconMarkOut, "icon_mark_out", 0},
    Picture{kIconCapture, "icon_capture", 0},     Picture{kIconZoomIn, "icon_zoom_in", 0},
    Picture{kIconZoomOut, "icon_zoom_out", 0},    Picture{kIconZoomReset, "icon_zoom_reset", 0},
    Picture{kIconShowAll, "icon_show_all", 0},    Picture{kIconRealSize, "icon_real_size", 0},
    Picture{kIconStretch, "icon_stretch", 0},     Picture{kApplication, "kinolux", 0},
    Picture{kBanner, "banner", 0},                Picture{kListBackground, "list_background", 0},
};

const Picture* Find(int id)
{
    for (const Picture& picture : kPictures)
        if (picture.id == id) return &picture;
    return nullptr;
}

// Parsed once per picture; pictures are drawn on the interface thread only.
QSvgRenderer* RendererOf(int id)
{
    static std::map<int, std::unique_ptr<QSvgRenderer>> renderers;
    const Picture* picture = Find(id);
    if (picture == nullptr) return nullptr;
    static const bool linked = (LinkArtwork(), true);
    (void)linked;
    auto& renderer = renderers[id];
    if (!renderer)
        renderer = std::make_unique<QSvgRenderer>(QStringLiteral(":/kinolux/artwork/%1.svg").arg(QLatin1String(picture->file)));
    return renderer->isValid() ? renderer.get() : nullptr;
}

// One cell of a nine-part stretch: the part `source` of the picture drawn
// into `target`, clipped there so nothing spills into the neighbours.
void DrawCell(QPainter& painter, QSvgRenderer& renderer, const QRectF& source, const QRect& target)
{
    if (source.isEmpty() || target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    renderer.setViewBox(source);
    renderer.render(&painter, target);
    painter.restore();
}

}  // namespace

bool Exists(int id) { return RendererOf(id) != nullptr; }

QSize NaturalSize(int id)
{
    QSvgRenderer* renderer = RendererOf(id);
    return renderer ? renderer->defaultSize() : QSize();
}

QMargins FixedBorder(int id)
{
    const Picture* picture = Find(id);
    const int border = picture ? picture->border : 0;
    return {border, border, border, border};
}

void Draw(QPainter& painter, int id, const QRect& target)
{
    QSvgRenderer* renderer = RendererOf(id);
    if (renderer == nullptr || target.isEmpty()) return;
    const QRectF whole(QPointF(0, 0), renderer->defaultSize());
    const QMargins border = FixedBorder(id);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (border.isNull() || target.width() < border.left() + border.right() ||
        target.height() < border.top() + border.bottom()) {
        renderer->setViewBox(whole);
        renderer->render(&painter, target);
        painter.restore();
        return;
    }
    // Three columns and three rows: the corners keep their size, the edges
    // stretch along one axis, the middle along both.
    const qreal sx[] = {0, qreal(border.left()), whole.width() - border.right(), whole.width()};
    const qreal sy[] = {0, qreal(border.top()), whole.height() - border.bottom(), whole.height()};
    const int tx[] = {target.left(), target.left() + border.left(), target.right() + 1 - border.right(), target.right() + 1};
    const int ty[] = {target.top(), target.top() + border.top(), target.bottom() + 1 - border.bottom(), target.bottom() + 1};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            DrawCell(painter, *renderer, QRectF(QPointF(sx[column], sy[row]), QPointF(sx[column + 1], sy[row + 1])),
                     QRect(QPoint(tx[column], ty[row]), QPoint(tx[column + 1] - 1, ty[row + 1] - 1)));
    renderer->setViewBox(whole);
    painter.restore();
}

QImage Render(int id, QSize size, qreal scale)
{
    if (!Exists(id) || size.isEmpty() || scale <= 0) return {};
    QImage image((QSizeF(size) * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Draw(painter, id, QRect(QPoint(0, 0), size));
    return image;
}

namespace {

// Draws each size when it is first asked for: a conversion from the command
// line shows no window and so never pays for the large sizes.
class ApplicationIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        Draw(*painter, kApplication, rect);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        auto found = drawn_.find(size);
        if (found == drawn_.end())
            found = drawn_.emplace(size, QPixmap::fromImage(Render(kApplication, size, 1.0))).first;
        return found->second;
    }
    QIconEngine* clone() const override { return new ApplicationIconEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) sizes.append(QSize(side, side));
        return sizes;
    }

private:
    struct SizeOrder {
        bool operator()(QSize a, QSize b) const
        {
            return a.width() != b.width() ? a.width() < b.width() : a.height() < b.height();
        }
    };
    std::map<QSize, QPixmap, SizeOrder> drawn_;
};

}  // namespace

QIcon ApplicationIcon() { return QIcon(new ApplicationIconEngine); }

}  // namespace kinolux::artwork
