// render_icons FOLDER SIZE...: writes the application icon as
// FOLDER/SIZExSIZE/apps/kinolux.png for each size, the layout of a desktop
// icon theme. The pictures come from the same SVG the windows use.
#include "controlkit/artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_icons FOLDER SIZE...\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int side = std::atoi(argv[i]);
        if (side < 1 || side > 1024) {
            std::fprintf(stderr, "render_icons: %s is no icon size\n", argv[i]);
            return 2;
        }
        const QString sub = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(side);
        const QImage icon = kinolux::artwork::Render(kinolux::artwork::kApplication, QSize(side, side), 1.0);
        if (!QDir().mkpath(sub) || icon.isNull() || !icon.save(sub + "/kinolux.png")) {
            std::fprintf(stderr, "render_icons: cannot write %s/kinolux.png\n", qPrintable(sub));
            return 1;
        }
    }
    return 0;
}
