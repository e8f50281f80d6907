#pragma once

#include <QtGlobal>

#include <random>

namespace DNS {

// Message ids of upstream UDP queries: a 32-bit Mersenne Twister (MT19937) mapped
// uniformly onto 0..65535.
//
// The default constructor seeds it from the system's random source (getrandom through
// std::random_device, the whole state through a seed sequence): a constant seed would
// give the same ids after every start and help an off-path attacker forge answers.
class IdGenerator
{
public:
    IdGenerator();
    // A fixed seed, for tests that need a known sequence.
    explicit IdGenerator(quint32 seed);

    quint16 next();

private:
    std::mt19937 m_engine;
    std::uniform_int_distribution<quint32> m_distribution{0, 0xFFFF};
};

} // namespace DNS
