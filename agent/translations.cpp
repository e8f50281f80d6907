#include "translations.h"

#include <QCoreApplication>
#include <QLocale>

Translations::Translations(QObject *parent)
    : QObject(parent)
{
}

QString Translations::chooseTag(const QString &setting, const QStringList &systemLanguages)
{
    if (!setting.isEmpty())
        return setting;
    if (!systemLanguages.isEmpty() && !systemLanguages.first().isEmpty())
        return systemLanguages.first();
    return QString::fromLatin1(FallbackTag);
}

QString Translations::install(const QString &requested)
{
    const QString directory = QString::fromLatin1(Directory);
    const QString delimiter = QStringLiteral("-");
    QString tag = requested;
    if (!m_program.load(tag, directory, delimiter)) {
        tag = QString::fromLatin1(FallbackTag);
        m_program.load(tag, directory, delimiter); // English: the source texts stay
    }
    m_library.load(QStringLiteral("qt_") + tag, directory, delimiter);
    QCoreApplication::installTranslator(&m_program);
    QCoreApplication::installTranslator(&m_library);
    QLocale::setDefault(QLocale(tag));
    m_tag = tag;
    return tag;
}
