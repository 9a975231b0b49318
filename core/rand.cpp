#include "core/rand.h"

#include <array>
#include <cstddef>

namespace {

constexpr int WORDS = 31;  // degree of the feedback polynomial x^31 + x^3 + 1
constexpr int SEPARATION = 3;
constexpr int DISCARDED = 10 * WORDS;

struct RandState {
    std::array<uint32_t, WORDS> words{};
    int front = SEPARATION;  // the word that receives the sum
    int rear = 0;            // the word added to it
    bool seeded = false;
};

RandState rand_state;

int next(RandState& r)
{
    r.words[std::size_t(r.front)] += r.words[std::size_t(r.rear)];
    const int result = int(r.words[std::size_t(r.front)] >> 1);
    r.front = (r.front + 1) % WORDS;
    r.rear = (r.rear + 1) % WORDS;
    return result;
}

void seed(RandState& r, uint32_t value)
{
    // Seed 0 would leave every word zero; glibc takes it as 1.
    int32_t word = value == 0 ? 1 : int32_t(value);
    r.words[0] = uint32_t(word);
    for (std::size_t i = 1; i < WORDS; i++) {
        // 16807 * word mod (2^31 - 1) without overflow (Schrage's method),
        // on the signed word as glibc keeps it.
        const int32_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
            word += 2147483647;
        r.words[i] = uint32_t(word);
    }
    r.front = SEPARATION;
    r.rear = 0;
    r.seeded = true;
    for (int i = 0; i < DISCARDED; i++)
        next(r);
}

}  // namespace

int core_rand()
{
    if (!rand_state.seeded)
        seed(rand_state, 1);
    return next(rand_state);
}

void core_srand(uint32_t value) { seed(rand_state, value); }
