// c_rand.h: the C library's rand() sequence, drawn without the library's lock
// and from any position.
//
// The random threshold must draw exactly what srand(seed) followed by one
// rand() per pixel draws. glibc's rand() is an additive generator: with the
// 31 words of its state seen as the last 31 values y of a sequence,
// y[k] = y[k − 31] + y[k − 3] (mod 2^32) and each draw returns y[k] >> 1.
// srand fills the words with a Lehmer sequence and makes 310 draws. Here the
// sequence is produced in blocks, a few instructions per value, and can be
// advanced without reading it, so that each core can start its share of the
// pixels at the draw that belongs to its first pixel. The tests check it
// against the library's own rand().
#ifndef MIRLAN_C_RAND_H
#define MIRLAN_C_RAND_H

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mirlan {

class CRandSequence {
public:
    // The sequence srand(seed) starts.
    explicit CRandSequence(unsigned seed)
    {
        if (seed == 0)
            seed = 1;
        int32_t words[kDegree];
        int32_t word = static_cast<int32_t>(seed);
        words[0] = word;
        for (size_t i = 1; i < kDegree; ++i) {
            // words[i] = 16807 × words[i − 1] mod (2^31 − 1), without overflow.
            long hi = word / 127773, lo = word % 127773;
            long next = 16807 * lo - 2836 * hi;
            if (next < 0)
                next += 2147483647;
            word = static_cast<int32_t>(next);
            words[i] = word;
        }
        // The library's first draw adds word 0 into word 3: as a sequence the
        // state reads from word 3 round to word 2.
        for (size_t i = 0; i < kDegree; ++i)
            values_[kEnd - kDegree + i] = static_cast<uint32_t>(words[(i + kSeparation) % kDegree]);
        next_ = kEnd;
        Skip(kDegree * 10);
    }

    // Hands out the next values, at most count of them and at least one when
    // count is not 0, through words; returns how many. rand() returns each
    // word shifted right by one.
    size_t Take(size_t count, const uint32_t *&words)
    {
        if (next_ == kEnd)
            Refill();
        size_t taken = count < kEnd - next_ ? count : kEnd - next_;
        words = values_ + next_;
        next_ += taken;
        return taken;
    }

    // Passes over count values.
    void Skip(size_t count)
    {
        while (count > kEnd - next_) {
            count -= kEnd - next_;
            Refill();
        }
        next_ += count;
    }

private:
    static constexpr size_t kDegree = 31;
    static constexpr size_t kSeparation = 3;
    // Blocks of a multiple of 3 values (see Refill).
    static constexpr size_t kEnd = kDegree + 3 * 700;

    // The next block of values after the last 31. The three latest values
    // stay in registers: reading back a value stored three steps before
    // would stall on every step.
    void Refill()
    {
        static_assert(kSeparation == 3 && (kEnd - kDegree) % 3 == 0, "three values a step");
        std::memmove(values_, values_ + kEnd - kDegree, kDegree * sizeof values_[0]);
        uint32_t a = values_[kDegree - 3], b = values_[kDegree - 2], c = values_[kDegree - 1];
        for (size_t k = kDegree; k < kEnd; k += 3) {
            a += values_[k - kDegree];
            b += values_[k + 1 - kDegree];
            c += values_[k + 2 - kDegree];
            values_[k] = a;
            values_[k + 1] = b;
            values_[k + 2] = c;
        }
        next_ = kDegree;
    }

    uint32_t values_[kEnd];
    size_t next_;
};

}  // namespace mirlan

#endif
