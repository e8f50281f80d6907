#pragma once

#include <QString>

// The texts of "corvanectl --help" and "corvanectl help COMMAND".
namespace HelpText {

QString usage();
// The help of one command (also "allow", "block" and "alias"); empty for an unknown name.
QString command(const QString &name);

} // namespace HelpText
