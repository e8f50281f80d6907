#include "protection.h"

#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Magic = QByteArrayLiteral("CVPD");
constexpr char Version = 1;
constexpr int KeySize = 32;
constexpr int NonceSize = 12;
constexpr int TagSize = 16;
constexpr int MaxDescriptionSize = 0xffff;

const QString ProtectContext = QStringLiteral("CryptProtectData");
const QString UnprotectContext = QStringLiteral("Decryption error!");

// A failure on its way to the report: our code and text.
struct Failure
{
    long code = 0;
    QString message;
};

Failure systemFailure(int error)
{
    return { error, QString::fromLocal8Bit(std::strerror(error)) };
}

// The oldest error of OpenSSL's queue, or the fallback when the library queued none
// (a GCM tag mismatch, for one, only makes the final call return 0).
Failure cryptoFailure(const char *fallback)
{
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return { EBADMSG, QString::fromLatin1(fallback) };
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return { static_cast<long>(code), QString::fromLatin1(text) };
}

bool readWhole(int fd, char *buffer, int size)
{
    int done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += int(n);
    }
    return true;
}

bool writeWhole(int fd, const char *buffer, int size)
{
    int done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += int(n);
    }
    return true;
}

// The key file must be ours alone and exactly a key: anything else is refused rather than
// used, since a key that others can read, or a link someone planted, protects nothing.
bool checkKeyFile(int fd, Failure *failure)
{
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        *failure = systemFailure(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *failure = { EINVAL, QStringLiteral("machine key is not a regular file") };
        return false;
    }
    if (info.st_mode & (S_IRWXG | S_IRWXO)) {
        *failure = { EACCES, QStringLiteral("machine key is open to other users (mode %1)")
                                     .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0')) };
        return false;
    }
    if (info.st_size != KeySize) {
        *failure = { EINVAL, QStringLiteral("machine key has a wrong size (%1 bytes, expected %2)")
                                     .arg(qint64(info.st_size))
                                     .arg(KeySize) };
        return false;
    }
    return true;
}

bool loadKey(QByteArray *key, Failure *failure)
{
    const QByteArray path = QFile::encodeName(Protection::machineKeyPath());
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        *failure = errno == ELOOP ? Failure { ELOOP, QStringLiteral("machine key is a symbolic link") }
                                  : systemFailure(errno);
        return false;
    }
    bool ok = checkKeyFile(fd, failure);
    if (ok) {
        key->resize(KeySize);
        ok = readWhole(fd, key->data(), KeySize);
        if (!ok)
            *failure = { EIO, QStringLiteral("machine key could not be read") };
    }
    ::close(fd);
    return ok;
}

// A new key is written whole to a temporary file, made durable, and only then linked under
// its name: a crash never leaves a partial key that would make every later use fail, a
// reader never sees one half written, and of two processes creating it at once the second
// finds the first one's key in place (link() never replaces a name) and uses that.
bool createKey(QByteArray *key, Failure *failure)
{
    const QString path = Protection::machineKeyPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray nativePath = QFile::encodeName(path);
    QByteArray temporary = nativePath + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        *failure = systemFailure(errno);
        return false;
    }
    key->resize(KeySize);
    bool ok = RAND_bytes(reinterpret_cast<unsigned char *>(key->data()), KeySize) == 1;
    if (!ok)
        *failure = cryptoFailure("no random bytes");
    if (ok && !(ok = ::fchmod(fd, 0600) == 0 && writeWhole(fd, key->constData(), KeySize) && ::fsync(fd) == 0))
        *failure = systemFailure(errno);
    ::close(fd);
    if (ok && ::link(temporary.constData(), nativePath.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        if (error == EEXIST)
            return loadKey(key, failure);
        *failure = systemFailure(error);
        return false;
    }
    ::unlink(temporary.constData());
    if (ok) {
        const int directory = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
                                     O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (directory >= 0) {
            ::fsync(directory);
            ::close(directory);
        }
    }
    return ok;
}

bool loadOrCreateKey(QByteArray *key, Failure *failure)
{
    if (loadKey(key, failure))
        return true;
    if (failure->code != ENOENT)
        return false;
    return createKey(key, failure);
}

QByteArray header(const QByteArray &description)
{
    QByteArray bytes = Magic;
    bytes.append(Version);
    char length[2];
    qToBigEndian<quint16>(quint16(description.size()), length);
    bytes.append(length, 2);
    bytes.append(description);
    return bytes;
}

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

auto uchar(const QByteArray &bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.constData());
}

bool seal(const QByteArray &key, const QByteArray &aad, const QByteArray &plain,
        QByteArray *sealed, Failure *failure)
{
    QByteArray nonce(NonceSize, Qt::Uninitialized);
    QByteArray cipher(plain.size(), Qt::Uninitialized);
    QByteArray tag(TagSize, Qt::Uninitialized);
    CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int length = 0;
    const bool ok = ctx
            && RAND_bytes(reinterpret_cast<unsigned char *>(nonce.data()), NonceSize) == 1
            && EVP_EncryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, uchar(key), uchar(nonce)) == 1
            && EVP_EncryptUpdate(ctx.get(), nullptr, &length, uchar(aad), aad.size()) == 1
            && EVP_EncryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(cipher.data()),
                       &length, uchar(plain), plain.size()) == 1
            && EVP_EncryptFinal_ex(ctx.get(), nullptr, &length) == 1
            && EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_GET_TAG, TagSize, tag.data()) == 1;
    if (!ok) {
        *failure = cryptoFailure("encryption failed");
        return false;
    }
    *sealed = aad + nonce + cipher + tag;
    return true;
}

bool unseal(const QByteArray &key, const QByteArray &aad, const QByteArray &nonce,
        const QByteArray &cipher, const QByteArray &tag, QByteArray *plain, Failure *failure)
{
    plain->resize(cipher.size());
    CipherContext ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int length = 0;
    QByteArray tagCopy = tag;
    const bool ok = ctx
            && EVP_DecryptInit_ex(ctx.get(), EVP_aes_256_gcm(), nullptr, uchar(key), uchar(nonce)) == 1
            && EVP_DecryptUpdate(ctx.get(), nullptr, &length, uchar(aad), aad.size()) == 1
            && EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(plain->data()),
                       &length, uchar(cipher), cipher.size()) == 1
            && EVP_CIPHER_CTX_ctrl(ctx.get(), EVP_CTRL_GCM_SET_TAG, TagSize, tagCopy.data()) == 1
            && EVP_DecryptFinal_ex(ctx.get(), nullptr, &length) == 1;
    if (!ok) {
        *failure = cryptoFailure("the data was changed or sealed under another machine key");
        plain->clear();
        return false;
    }
    return true;
}

QByteArray fail(const QString &context, const Failure &failure)
{
    Protection::reportError(context, failure.code, failure.message);
    return QByteArray();
}

} // namespace

namespace Protection {

QString machineKeyPath()
{
    return Paths::stateDirectory() + QStringLiteral("/machine.key");
}

QByteArray protect(const QByteArray &data, const QString &description)
{
    const QByteArray descriptionBytes = description.toUtf8();
    if (descriptionBytes.size() > MaxDescriptionSize)
        return fail(ProtectContext, { EINVAL, QStringLiteral("description too long") });
    Failure failure;
    QByteArray key;
    QByteArray sealed;
    if (!loadOrCreateKey(&key, &failure) || !seal(key, header(descriptionBytes), data, &sealed, &failure))
        return fail(ProtectContext, failure);
    return sealed;
}

QByteArray unprotect(const QByteArray &blob, QString *description, bool report)
{
    const auto fail = [report](const QString &context, const Failure &failure) {
        return report ? ::fail(context, failure) : QByteArray();
    };
    const int fixed = Magic.size() + 1 + 2;
    if (blob.size() < fixed + NonceSize + TagSize || !blob.startsWith(Magic) || blob.at(4) != Version)
        return fail(UnprotectContext, { EINVAL, QStringLiteral("not a protected blob") });
    const int descriptionSize = qFromBigEndian<quint16>(blob.constData() + 5);
    const int headerSize = fixed + descriptionSize;
    if (blob.size() < headerSize + NonceSize + TagSize)
        return fail(UnprotectContext, { EINVAL, QStringLiteral("truncated protected blob") });

    Failure failure;
    QByteArray key;
    QByteArray plain;
    const QByteArray aad = blob.left(headerSize);
    const QByteArray nonce = blob.mid(headerSize, NonceSize);
    const int cipherSize = blob.size() - headerSize - NonceSize - TagSize;
    const QByteArray cipher = blob.mid(headerSize + NonceSize, cipherSize);
    const QByteArray tag = blob.right(TagSize);
    if (!loadKey(&key, &failure) || !unseal(key, aad, nonce, cipher, tag, &plain, &failure))
        return fail(UnprotectContext, failure);
    if (description)
        *description = QString::fromUtf8(blob.mid(fixed, descriptionSize));
    return plain;
}

void reportError(const QString &context, long code, const QString &message)
{
    const QByteArray text = message.trimmed().toUtf8();
    if (context.isEmpty())
        std::fprintf(stderr, "%ld:%s\n", code, text.constData());
    else
        std::fprintf(stderr, "%s (%ld:%s)\n", context.toUtf8().constData(), code, text.constData());
    std::fflush(stderr);
    qErrnoWarning(int(code), "%s", text.constData());
}

void reportSystemError(const QString &context, long code)
{
    if (code == -1)
        code = errno;
    reportError(context, code, QString::fromLocal8Bit(std::strerror(int(code))));
}

} // namespace Protection
