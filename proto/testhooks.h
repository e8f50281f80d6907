#pragma once

// Test-only entry points of lodestar. Production code never includes this header: each
// function bends something that the programs rely on staying fixed (the clock behind every
// time-out, the id sequence of an engine) or reaches a piece of an operation that the
// public API only offers whole.

#include "lodestar_export.h"

#include <QString>
#include <QtGlobal>

class JsonRPC;

namespace TestHooks {

// Replaces the clock behind monotonicTime(); nullptr restores the wall clock.
using MonotonicTimeSource = qint64 (*)();
LODESTAR_EXPORT void setMonotonicTimeSource(MonotonicTimeSource source);

// The id of the engine's last call, and a new one to continue from (to reach the wrap).
struct LODESTAR_EXPORT JsonRPCAccess
{
    static quint32 lastId(const JsonRPC &rpc);
    static void setLastId(JsonRPC &rpc, quint32 id);
};

// How many times the operating system was asked for its version (once, after the first
// SysInfo::userAgent() call).
LODESTAR_EXPORT int operatingSystemQueries();

// The journal extraction of SysInfo::systemLog() with another program and time-out, before
// the credentials are cut. Output beyond SysInfo::MaximumLogBytes keeps its newest part;
// no output at all, or a run that failed, gives "<unimplemented>".
LODESTAR_EXPORT QString runLogTool(const QString &program, int timeoutMs);

} // namespace TestHooks
