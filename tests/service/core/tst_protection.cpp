#include "logcapture.h"
#include "protection.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Captures what is written to file descriptor 2 while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// Layout offsets of a blob with a description of the given UTF-8 size.
constexpr int HeaderSize = 7;
constexpr int NonceSize = 12;
constexpr int TagSize = 16;

} // namespace

class tst_Protection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();

    void roundTrip_data();
    void roundTrip();
    void keyFileIsPrivate();
    void blobsDifferEachTime();
    void tampered_data();
    void tampered();
    void everyTruncationFails();
    void keyProblems_data();
    void keyProblems();
    void partialKeyOfACrashIsIgnored();
    void reportShapes_data();
    void reportShapes();
};

void tst_Protection::init()
{
    const QString key = Protection::machineKeyPath();
    if (QFileInfo(key).isDir())
        QDir(key).removeRecursively();
    QFile::remove(key);
}

void tst_Protection::roundTrip_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("description");
    QTest::newRow("user name") << QByteArray("bob@example.com") << "Tarnwick user";
    QTest::newRow("empty data") << QByteArray() << "Tarnwick password";
    QTest::newRow("binary with NULs") << QByteArray("\0\1\2\xff\0", 5) << "";
    QTest::newRow("Cyrillic description") << QString("пароль").toUtf8() << "Пароль";
    QTest::newRow("64 KiB") << QByteArray(65536, 'x') << "big";
}

void tst_Protection::roundTrip()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, description);
    const QByteArray blob = Protection::protect(data, description);
    QVERIFY(!blob.isEmpty());
    QVERIFY(!blob.contains(data) || data.size() < 4);

    QString readDescription = "untouched";
    QCOMPARE(Protection::unprotect(blob, &readDescription), data);
    QCOMPARE(readDescription, description);
    QCOMPARE(Protection::unprotect(blob), data);
}

void tst_Protection::keyFileIsPrivate()
{
    ::umask(0);
    QVERIFY(!Protection::protect("x", "d").isEmpty());
    ::umask(022);
    struct stat info = {};
    QCOMPARE(::stat(QFile::encodeName(Protection::machineKeyPath()).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0600);
    QCOMPARE(qint64(info.st_size), qint64(32));
}

void tst_Protection::blobsDifferEachTime()
{
    const QByteArray first = Protection::protect("same", "d");
    const QByteArray second = Protection::protect("same", "d");
    QVERIFY(first != second); // a fresh nonce every time
    QCOMPARE(Protection::unprotect(first), QByteArray("same"));
    QCOMPARE(Protection::unprotect(second), QByteArray("same"));
}

void tst_Protection::tampered_data()
{
    QTest::addColumn<int>("offset"); // negative: counted from the end
    QTest::newRow("magic") << 0;
    QTest::newRow("version") << 4;
    QTest::newRow("description length") << 6;
    QTest::newRow("description") << HeaderSize + 1;
    QTest::newRow("nonce") << HeaderSize + 4 + 3;
    QTest::newRow("ciphertext") << HeaderSize + 4 + NonceSize + 2;
    QTest::newRow("tag") << -1;
}

void tst_Protection::tampered()
{
    QFETCH(int, offset);
    QByteArray blob = Protection::protect("secret data", "desc"); // description of 4 bytes
    const int at = offset < 0 ? blob.size() + offset : offset;
    blob[at] = char(blob.at(at) ^ 0x20);
    LogCapture log;
    StderrCapture err;
    QString description = "untouched";
    QCOMPARE(Protection::unprotect(blob, &description), QByteArray());
    QVERIFY2(err.text().startsWith("Decryption error! ("), qPrintable(log.dump()));
    QCOMPARE(description, QString("untouched"));
}

void tst_Protection::everyTruncationFails()
{
    const QByteArray blob = Protection::protect("secret data", "desc");
    LogCapture log;
    StderrCapture err;
    for (int size = 0; size < blob.size(); ++size)
        QVERIFY2(Protection::unprotect(blob.left(size)).isEmpty(), qPrintable(QString::number(size)));
    QCOMPARE(err.text().count("Decryption error! ("), blob.size());
}

void tst_Protection::keyProblems_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("sealsAgain");
    QTest::newRow("key file missing") << "missing" << "Decryption error! (2:No such file or directory)\n" << true;
    QTest::newRow("key file is a directory") << "directory" << "machine key is not a regular file)\n" << false;
    QTest::newRow("short key file left by a crash") << "short" << "machine key has a wrong size (10 bytes, expected 32))\n" << false;
    QTest::newRow("key file too long") << "long" << "machine key has a wrong size (33 bytes, expected 32))\n" << false;
    QTest::newRow("key file readable by others") << "open" << "machine key is open to other users (mode 0644))\n" << false;
    QTest::newRow("key file is a symbolic link") << "link" << "machine key is a symbolic link)\n" << false;
    QTest::newRow("another machine's key") << "other" << "sealed under another machine key)\n" << true;
}

// Each problem of the key file is refused (never silently used or replaced) with a report
// that names the real cause.
void tst_Protection::keyProblems()
{
    QFETCH(QString, problem);
    QFETCH(QString, report);
    QFETCH(bool, sealsAgain);
    const QByteArray blob = Protection::protect("secret", "d");
    QVERIFY(!blob.isEmpty());
    const QString path = Protection::machineKeyPath();
    QVERIFY(QFile::remove(path));
    if (problem == "directory") {
        QVERIFY(QDir().mkpath(path));
    } else if (problem == "link") {
        const QString target = path + QStringLiteral(".target");
        QFile key(target);
        QVERIFY(key.open(QIODevice::WriteOnly));
        key.write(QByteArray(32, '\x5a'));
        key.close();
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(QFile::link(target, path));
    } else if (problem != "missing") {
        QFile key(path);
        QVERIFY(key.open(QIODevice::WriteOnly));
        const int size = problem == "short" ? 10 : problem == "long" ? 33 : 32;
        key.write(QByteArray(size, '\x5a'));
        key.close();
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(path, problem == "open" ? owner | QFileDevice::ReadGroup | QFileDevice::ReadOther : owner));
    }

    LogCapture log;
    StderrCapture err;
    QCOMPARE(Protection::unprotect(blob), QByteArray());
    const QString text = err.text();
    QVERIFY2(text.startsWith("Decryption error! (") && text.endsWith(report), qPrintable(text));
    QVERIFY2(!log.messages().isEmpty(), "the error report also goes to Qt's log");
    LogCapture again;
    QCOMPARE(Protection::protect("x", "d").isEmpty(), !sealsAgain);
}

// A temporary file left by a crash while a key was being made is no key: the next use makes
// a whole one.
void tst_Protection::partialKeyOfACrashIsIgnored()
{
    const QString path = Protection::machineKeyPath();
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile partial(path + QStringLiteral(".AbC123"));
    QVERIFY(partial.open(QIODevice::WriteOnly));
    partial.write("short");
    partial.close();
    const QByteArray blob = Protection::protect("secret", "d");
    QCOMPARE(Protection::unprotect(blob), QByteArray("secret"));
    QCOMPARE(QFileInfo(path).size(), 32);
}

void tst_Protection::reportShapes_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");
    QTest::newRow("with context") << "CryptProtectData" << "  No such file  " << "CryptProtectData (2:No such file)\n";
    QTest::newRow("without context") << "" << "Permission denied" << "2:Permission denied\n";
}

void tst_Protection::reportShapes()
{
    QFETCH(QString, context);
    QFETCH(QString, message);
    QFETCH(QString, line);
    LogCapture log;
    StderrCapture err;
    Protection::reportError(context, 2, message);
    QCOMPARE(err.text(), line);
    // Qt's system-error facility reports as a critical message.
    QCOMPARE(log.messages().size(), 1);
    QCOMPARE(log.messages().first().first, QtCriticalMsg);
    QVERIFY(log.messages().first().second.startsWith(message.trimmed()));
}

QTEST_GUILESS_MAIN(tst_Protection)
#include "tst_protection.moc"
