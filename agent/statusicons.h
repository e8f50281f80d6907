#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the status levels (0 error, 1 warning, 2 information, 3 ok) and the
// other icons, rendered from their SVG sources at every size a panel or menu asks for, so
// that they stay sharp at 16, 22 and 24 pixels. Each is made once and then shared.
namespace StatusIcons {

enum Level { Error = 0, Warning = 1, Information = 2, Ok = 3 };

// An icon from an SVG resource, with pixmaps for the usual panel and menu sizes.
QIcon svgIcon(const QString &resource);
// ":/tray/error" ... ":/tray/ok"
const QIcon &trayIcon(int level);
// ":/page/home/error" ... ":/page/home/ok" at the given size.
QPixmap homePicture(int level, int size);

// The per-row controls of the settings views (":/control/configure/<state>",
// ":/control/remove/<state>"), each made once.
enum class Control { Configure, Remove };
enum class ControlState { Idle, Hover, Pressed, Disabled };
const QIcon &controlIcon(Control control, ControlState state);

QString trayResource(int level);
QString homeResource(int level);

} // namespace StatusIcons
