// Renders the window icon, drawn in code, to square PNGs for the icon theme.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "window/assets.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: veltro-render-icon SIZE OUT.png\n", stderr);
        return 2;
    }
    const int size = std::atoi(argv[1]);
    const QImage icon = veltro::makeWindowIcon();
    QImage square(size, size, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage scaled = icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    painter.end();
    return square.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
