#pragma once

#include <QByteArray>
#include <QString>

// Machine-bound protection of small secrets (the stored account credentials).
//
// A blob is readable only on the machine that wrote it: it is sealed with AES-256-GCM under
// a 32-byte random key kept in the service's state directory ("machine.key", mode 0600,
// created on first use). Layout of a blob, all lengths big-endian:
//
//   "CVPD" | version (1 byte, 1) | description length (2 bytes) | description (UTF-8)
//   | nonce (12 bytes) | ciphertext | tag (16 bytes)
//
// Everything before the nonce is authenticated with the ciphertext, so a changed
// description is detected as well. Any failure gives an empty result and the error report.
namespace Protection {

// Seals data; an empty result means failure (reported with the context "CryptProtectData").
QByteArray protect(const QByteArray &data, const QString &description);

// Opens a blob of protect(); when description is given it receives the stored description.
// An empty result means failure (reported with the context "Decryption error!", unless
// report is false: callers for whom a failure is an expected answer, such as a cache entry
// written under other credentials, stay quiet).
QByteArray unprotect(const QByteArray &blob, QString *description = nullptr, bool report = true);

// The error report: one line on standard error, "<context> (<code>:<message>)" or
// "<code>:<message>" without context, then a system-error warning through Qt's log.
// A code of -1 stands for the calling thread's current errno.
void reportError(const QString &context, long code, const QString &message);
void reportSystemError(const QString &context, long code = -1);

// Where the machine key lives.
QString machineKeyPath();

} // namespace Protection
