#include "idgenerator.h"

#include <array>

namespace DNS {

namespace {

std::mt19937 seededEngine()
{
    std::random_device source;
    std::array<std::seed_seq::result_type, std::mt19937::state_size> words;
    for (auto &word : words)
        word = source();
    std::seed_seq sequence(words.begin(), words.end());
    return std::mt19937(sequence);
}

} // namespace

IdGenerator::IdGenerator()
    : m_engine(seededEngine())
{
}

IdGenerator::IdGenerator(quint32 seed)
    : m_engine(seed)
{
}

quint16 IdGenerator::next()
{
    return quint16(m_distribution(m_engine));
}

} // namespace DNS
