#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// corvanectl's standard output and standard error.
//
// Everything printed for people comes from the service and, through it, from the account
// and the network: a profile name, a domain or a report line may hold terminal control
// sequences. Human output therefore goes through clean(); JSON output is escaped by the
// JSON writer. Every line is flushed at once, so that 'watch' works through a pipe.
class Output
{
public:
    explicit Output(bool json);

    bool isJson() const { return m_json; }

    // A line for people on standard output; nothing in JSON mode.
    void line(const QString &text);
    // Aligned "label: value" lines; a value with newlines continues under itself.
    void table(const QList<QPair<QString, QString>> &rows);
    // A multi-line text as it is (tabs and newlines kept), on standard output.
    void text(const QString &text);
    // A line on standard error (both modes).
    void error(const QString &text);
    // A progress line on standard error: rewritten in place on a terminal, else written
    // once. done() ends it.
    void progress(const QString &text);
    void progressDone();

    // The one JSON object of the invocation, printed by printJson().
    QVariantMap &json() { return m_object; }
    void printJson();
    // One compact JSON line on standard output ('watch --json').
    void jsonLine(const QVariantMap &object);

    // Control characters (C0 but for tab and newline when multiline, DEL, C1) and the
    // direction overrides that could disguise a text become '?'.
    static QString clean(const QString &text, bool multiline = false);
    static QByteArray toJson(const QVariantMap &object);

private:
    static void write(FILE *stream, const QByteArray &bytes);

    bool m_json;
    bool m_progressOnTerminal;
    bool m_progressShown = false;
    QVariantMap m_object;
};
