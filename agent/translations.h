#pragma once

#include <QObject>
#include <QString>
#include <QTranslator>

// The user interface's language: the program's own texts and Qt's, from the resource
// directory ":/translations" ("de.qm" ... "pt-BR.qm" and "qt_de.qm" ... "qt_pt-BR.qm").
class Translations : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Translations)

public:
    static constexpr const char *Directory = ":/translations";
    static constexpr const char *FallbackTag = "en-US";

    explicit Translations(QObject *parent = nullptr);

    // The language tag: the "ui-lang" setting when present, else the first of the system's
    // user-interface languages, else "en-US".
    static QString chooseTag(const QString &setting, const QStringList &systemLanguages);

    // Loads both translations for the tag ("pt-BR" falls back to "pt"), installs them and
    // makes the tag the default locale. A tag without a translation becomes "en-US", whose
    // texts are the sources. Returns the tag in use.
    QString install(const QString &tag);

    QString tag() const { return m_tag; }

private:
    QTranslator m_program;
    QTranslator m_library;
    QString m_tag;
};
