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
    bool exact; // the name itself only, not the names below it
};

// The first match wins.
constexpr Suffix Suffixes[] = {
    { LocalAnswers::ProbeSuffix, int(sizeof(LocalAnswers::ProbeSuffix)) - 1, LocalAnswers::Rule::Probe, false },
    // Browsers ask for the name itself; the names below it are nobody's canary.
    { LocalAnswers::CanaryName, int(sizeof(LocalAnswers::CanaryName)) - 1, LocalAnswers::Rule::Canary, true },
};

// name ends with "." + suffix (a label boundary; the suffix alone is no probe), ignoring
// ASCII case and one final dot.
bool endsWithLabels(const QByteArray &name, const Suffix &suffix)
{
    int size = name.size();
    if (size > 0 && name.at(size - 1) == '.')
        --size;
    if (suffix.exact)
        return size == suffix.size && qstrnicmp(name.constData(), suffix.text, uint(suffix.size)) == 0;
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
    const Rule rule = ruleFor(name);
    if (rule == Rule::None)
        return false;
    if (rule == Rule::Canary) {
        const quint16 type = questions.constFirst()->type();
        if (!m_canaryAnswered || (type != TypeA && type != TypeAaaa))
            return false;
    }
    ++m_answered;
    // The query as it came, turned into its own negative answer (OPT record included).
    *reply = query;
    reply->setResponse(true);
    reply->setRcode(NameError);
    if (rule == Rule::Probe)
        emit probeAnswered(QString::fromLatin1(name.endsWith('.') ? name.chopped(1) : name));
    return true;
}

} // namespace DNS
