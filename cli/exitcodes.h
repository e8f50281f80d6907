#pragma once

// corvanectl's exit statuses; scripts rely on them, so they never change meaning.
namespace ExitCode {
constexpr int Done = 0;          // everything done ('status': filtering runs)
constexpr int Unreachable = 1;   // the service cannot be reached, went away or did not answer in time
constexpr int Usage = 2;         // the command line is wrong, or a password cannot be asked for
constexpr int NotFiltering = 3;  // 'status': filtering is off, unprotected or not identified
constexpr int Failed = 4;        // the service refused a command, or it could not be done
constexpr int Interrupted = 130; // SIGINT, SIGTERM or SIGHUP before the end (128 + SIGINT)
} // namespace ExitCode
