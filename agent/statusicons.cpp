#include "statusicons.h"

#include <QCoreApplication>
#include <QPainter>
#include <QSvgRenderer>

namespace StatusIcons {

namespace {

int boundedLevel(int level)
{
    return qBound(0, level, 3);
}

const char *const LevelNames[] = {"error", "warning", "information", "ok"};

// The icons of the levels, made on first use. Pixmaps must go while the application (and
// its platform plugin) still exists, so the cache is emptied when the application ends,
// not when the program's statics are destroyed.
struct LevelIcons
{
    QIcon tray[4];
    QIcon home[4];
    QIcon controls[2][4];
    bool filled = false;
};

const char *const ControlNames[] = {"configure", "remove"};
const char *const ControlStateNames[] = {"idle", "hover", "pressed", "disabled"};

LevelIcons &levelIcons()
{
    static LevelIcons icons;
    if (!icons.filled) {
        icons.filled = true;
        for (int level = 0; level < 4; ++level) {
            icons.tray[level] = svgIcon(trayResource(level));
            icons.home[level] = svgIcon(homeResource(level));
        }
        for (int control = 0; control < 2; ++control) {
            for (int state = 0; state < 4; ++state)
                icons.controls[control][state] = svgIcon(QStringLiteral(":/control/%1/%2")
                                                             .arg(QLatin1String(ControlNames[control]),
                                                                  QLatin1String(ControlStateNames[state])));
        }
        qAddPostRoutine([] {
            LevelIcons &cache = levelIcons();
            for (int level = 0; level < 4; ++level) {
                cache.tray[level] = QIcon();
                cache.home[level] = QIcon();
            }
            for (auto &control : cache.controls) {
                for (QIcon &icon : control)
                    icon = QIcon();
            }
        });
    }
    return icons;
}

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
    return levelIcons().tray[boundedLevel(level)];
}

const QIcon &controlIcon(Control control, ControlState state)
{
    return levelIcons().controls[int(control)][int(state)];
}

QPixmap homePicture(int level, int size)
{
    return levelIcons().home[boundedLevel(level)].pixmap(size, size);
}

} // namespace StatusIcons
