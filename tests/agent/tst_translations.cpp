#include "agentmain.h"
#include "translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtTest>

// Every language of the resources loads, with the program's and Qt's own texts.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void languages_data();
    void languages();
    void chooseTag_data();
    void chooseTag();
};

void TestTranslations::initTestCase()
{
    initAgentResources();
}

void TestTranslations::languages_data()
{
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("startFiltering"); // context "Agent"
    QTest::addColumn<QString>("tenMinutes");     // context "TrayIcon"
    QTest::addColumn<bool>("qtTranslated");

    QTest::newRow("ar") << "ar" << "ar" << QString::fromUtf8("بدء التصفية") << QString::fromUtf8("10 دقائق") << true;
    QTest::newRow("de") << "de" << "de" << "Filterung starten" << "10 Minuten" << true;
    QTest::newRow("es") << "es" << "es" << "Iniciar el filtrado" << "10 minutos" << true;
    QTest::newRow("fr") << "fr" << "fr" << QString::fromUtf8("Démarrer le filtrage") << "10 minutes" << true;
    QTest::newRow("it") << "it" << "it" << "Avvia il filtraggio" << "10 minuti" << true;
    QTest::newRow("tr") << "tr" << "tr" << QString::fromUtf8("Filtrelemeyi başlat") << "10 dakika" << true;
    QTest::newRow("pt-BR") << "pt-BR" << "pt-BR" << "Iniciar a filtragem" << "10 minutos" << true;
    QTest::newRow("de-AT falls back to de") << "de-AT" << "de-AT" << "Filterung starten" << "10 Minuten" << true;
    QTest::newRow("no translation: English") << "ja-JP" << "en-US" << "Start filtering" << "10 minutes" << false;
}

void TestTranslations::languages()
{
    QFETCH(QString, requested);
    QFETCH(QString, tag);
    QFETCH(QString, startFiltering);
    QFETCH(QString, tenMinutes);
    QFETCH(bool, qtTranslated);

    Translations translations;
    QCOMPARE(translations.install(requested), tag);
    QCOMPARE(QCoreApplication::translate("Agent", "Start filtering"), startFiltering);
    QCOMPARE(QCoreApplication::translate("TrayIcon", "10 minutes"), tenMinutes);
    QCOMPARE(QCoreApplication::translate("Window", "Your password is incorrect") != QLatin1String("Your password is incorrect"),
             qtTranslated);
    // Qt's own standard buttons, from the system's translation files.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel") != QLatin1String("Cancel"), qtTranslated);
    QCOMPARE(QLocale().name().left(2), tag.left(2));
}

void TestTranslations::chooseTag_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QString>("tag");

    QTest::newRow("setting wins") << "fr" << QStringList{"de-DE"} << "fr";
    QTest::newRow("system language") << "" << QStringList{"it-IT", "en-US"} << "it-IT";
    QTest::newRow("nothing known") << "" << QStringList() << "en-US";
}

void TestTranslations::chooseTag()
{
    QFETCH(QString, setting);
    QFETCH(QStringList, system);
    QFETCH(QString, tag);
    QCOMPARE(Translations::chooseTag(setting, system), tag);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
