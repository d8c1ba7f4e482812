// Our own pictures, drawn as SVG and rendered at the screen's scale, so
// faces, icons and the banner stay crisp on any display. Windows ask for a
// picture by its resource id, as the dialog layouts name them.
#pragma once

#include <QIcon>
#include <QImage>
#include <QMargins>
#include <QSize>

class QPainter;
class QRect;

namespace kinolux::artwork {

// Push buttons of every dialog: the faces, and their rounded outline.
inline constexpr int kButtonHover = 268;
inline constexpr int kButtonPressed = 269;
inline constexpr int kButtonMask = 270;
inline constexpr int kButtonNormal = 271;
// The main window's round settings-menu and web-page buttons.
inline constexpr int kWebHover = 253;
inline constexpr int kWebPressed = 254;
inline constexpr int kWebMask = 255;
inline constexpr int kWebNormal = 256;
inline constexpr int kMenuHover = 257;
inline constexpr int kMenuPressed = 258;
inline constexpr int kMenuMask = 259;
inline constexpr int kMenuNormal = 260;
// The preview buttons under the movie.
inline constexpr int kPreviewNormal = 152;
inline constexpr int kPreviewHover = 153;
inline constexpr int kPreviewFocus = 154;
inline constexpr int kPreviewPressed = 155;
inline constexpr int kPreviewDisabled = 156;
inline constexpr int kPreviewMask = 157;
// Icons of the main window's buttons.
inline constexpr int kIconSetDefault = 261;
inline constexpr int kIconAdd = 262;
inline constexpr int kIconRemove = 263;
inline constexpr int kIconConvert = 264;
inline constexpr int kIconOptions = 265;
inline constexpr int kIconFormats = 266;
// Icons of the preview buttons.
inline constexpr int kIconPlay = 601;
inline constexpr int kIconPause = 602;
inline constexpr int kIconFirst = 603;
inline constexpr int kIconPrevious = 604;
inline constexpr int kIconNext = 605;
inline constexpr int kIconLast = 606;
inline constexpr int kIconMarkIn = 607;
inline constexpr int kIconMarkOut = 608;
inline constexpr int kIconCapture = 609;
inline constexpr int kIconZoomIn = 610;
inline constexpr int kIconZoomOut = 611;
inline constexpr int kIconZoomReset = 612;
inline constexpr int kIconShowAll = 613;
inline constexpr int kIconRealSize = 614;
inline constexpr int kIconStretch = 615;
// The application's icon, the banner and the empty list's background.
inline constexpr int kApplication = 128;
inline constexpr int kBanner = 240;
inline constexpr int kListBackground = 275;

// Whether `id` names one of our pictures.
bool Exists(int id);
// The picture's own size in logical pixels; empty for an unknown id.
QSize NaturalSize(int id);
// The border that keeps its size when a face is stretched (rounded corners
// must not turn into ovals on a wide button).
QMargins FixedBorder(int id);

// The picture at `size` logical pixels for a display of `scale` device
// pixels per logical pixel; stretched faces keep their border. A null image
// for an unknown id.
QImage Render(int id, QSize size, qreal scale);
// Draws the picture into `target`, stretched with its border kept, at the
// painter's own resolution.
void Draw(QPainter& painter, int id, const QRect& target);

// The window and application icon at every size a desktop asks for.
QIcon ApplicationIcon();

}  // namespace kinolux::artwork
