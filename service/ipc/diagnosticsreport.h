#pragma once

#include "diagnosticschecks.h"
#include "diagnosticsprobe.h"
#include "diagnosticssource.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The pieces of the support report, as plain functions of what was collected.
namespace DiagnosticsReport {

// What replaces a secret wherever it appears.
inline const QString CutMarker = QStringLiteral("<credentials cutted out>");

struct Checks
{
    CheckResult adapters;
    CheckResult gateway;
    CheckResult userProxy;
    CheckResult transparentProxy;
    CheckResult probe;
    ProbeView view;
};

// Everything before the tools' output: the local proxy, the checks' texts, the
// identification section and the profiles.
QString head(const DiagnosticsSnapshot &snapshot, const Checks &checks);
QString identification(const DiagnosticsSnapshot &snapshot, const CheckResult &probe, const ProbeView &view);
// Our own closing section: the adapter DNS backend and the last verification verdict.
QString backendSection(const DiagnosticsSnapshot &snapshot);

// "\n> <heading>\n" followed by the output.
QString toolSection(const QString &heading, const QString &output);
// A tool's output as text: with the named codec, or as UTF-8 up to the first NUL byte when
// the name is empty (or names no codec Qt knows).
QString decodeOutput(const QByteArray &bytes, const QByteArray &codecName);

// Every occurrence of every secret replaced by CutMarker: in a tool's raw bytes (where a
// binary key may stand as it is), and in the finished text (secrets that are UTF-8 text).
QByteArray cutSecrets(QByteArray bytes, const QList<QByteArray> &secrets);
QString cutSecrets(QString text, const QList<QByteArray> &secrets);

} // namespace DiagnosticsReport
