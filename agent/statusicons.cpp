#include "statusicons.h"

#include <QPainter>
#include <QSvgRenderer>

namespace StatusIcons {

namespace {

int boundedLevel(int level)
{
    return qBound(0, level, 3);
}

const char *const LevelNames[] = {"error", "warning", "information", "ok"};

} // namespace

QIcon svgIcon(const QString &resource)
{
    QSvgRenderer renderer(resource);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QString trayResource(int level)
{
    return QStringLiteral(":/tray/") + QLatin1String(LevelNames[boundedLevel(level)]);
}

QString homeResource(int level)
{
    return QStringLiteral(":/page/home/") + QLatin1String(LevelNames[boundedLevel(level)]);
}

const QIcon &trayIcon(int level)
{
    static const QIcon icons[] = {svgIcon(trayResource(0)), svgIcon(trayResource(1)),
                                  svgIcon(trayResource(2)), svgIcon(trayResource(3))};
    return icons[boundedLevel(level)];
}

QPixmap homePicture(int level, int size)
{
    static const QIcon pictures[] = {svgIcon(homeResource(0)), svgIcon(homeResource(1)),
                                     svgIcon(homeResource(2)), svgIcon(homeResource(3))};
    return pictures[boundedLevel(level)].pixmap(size, size);
}

} // namespace StatusIcons
