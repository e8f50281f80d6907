#include "localanswers.h"

namespace DNS {

namespace {

// RFC 1035 4.1.1 RCODE 3: "the domain name referenced in the query does not exist".
constexpr quint8 NameError = 3;

struct Suffix
{
    const char *text;
    int size;
    LocalAnswers::Rule rule;
};

// Room for more rules (a browser canary name is next); the first match wins.
constexpr Suffix Suffixes[] = {
    { LocalAnswers::ProbeSuffix, int(sizeof(LocalAnswers::ProbeSuffix)) - 1, LocalAnswers::Rule::Probe },
};

// name ends with "." + suffix (a label boundary; the suffix alone is no probe), ignoring
// ASCII case and one final dot.
bool endsWithLabels(const QByteArray &name, const Suffix &suffix)
{
    int size = name.size();
    if (size > 0 && name.at(size - 1) == '.')
        --size;
    if (size <= suffix.size || name.at(size - suffix.size - 1) != '.')
        return false;
    return qstrnicmp(name.constData() + size - suffix.size, suffix.text, uint(suffix.size)) == 0;
}

} // namespace

LocalAnswers::LocalAnswers(QObject *parent)
    : QObject(parent)
{
}

LocalAnswers::~LocalAnswers() = default;

LocalAnswers *LocalAnswers::instance()
{
    static LocalAnswers answers;
    return &answers;
}

LocalAnswers::Rule LocalAnswers::ruleFor(const QByteArray &name)
{
    for (const Suffix &suffix : Suffixes) {
        if (endsWithLabels(name, suffix))
            return suffix.rule;
    }
    return Rule::None;
}

bool LocalAnswers::answer(const Packet &query, Packet *reply)
{
    const QuestionList questions = query.questions();
    if (questions.isEmpty())
        return false;
    const QByteArray name = questions.constFirst()->name();
    if (ruleFor(name) != Rule::Probe)
        return false;
    ++m_answered;
    // The query as it came, turned into its own negative answer (OPT record included).
    *reply = query;
    reply->setResponse(true);
    reply->setRcode(NameError);
    emit probeAnswered(QString::fromLatin1(name.endsWith('.') ? name.chopped(1) : name));
    return true;
}

} // namespace DNS
