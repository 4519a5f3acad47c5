// c_rand.h: the C library's rand() sequence, drawn without the library's lock.
//
// The random threshold must draw exactly what srand(seed) followed by one
// rand() per pixel draws. glibc's rand() is an additive generator over 31
// words (r[i] = r[i-31] + r[i-3], the result shifted right by one) seeded by
// a Lehmer sequence and run 310 times before the first draw; it is rebuilt
// here so that the draws cost a few instructions each instead of a locked
// library call. The tests check it against the library's own rand().
#ifndef MIRLAN_C_RAND_H
#define MIRLAN_C_RAND_H

#include <cstdint>

namespace mirlan {

class CRandSequence {
public:
    // The sequence srand(seed) starts.
    explicit CRandSequence(unsigned seed)
    {
        if (seed == 0)
            seed = 1;
        int32_t word = static_cast<int32_t>(seed);
        state_[0] = word;
        for (int i = 1; i < kDegree; ++i) {
            // state[i] = 16807 × state[i − 1] mod (2^31 − 1), without overflow.
            long hi = word / 127773, lo = word % 127773;
            long next = 16807 * lo - 2836 * hi;
            if (next < 0)
                next += 2147483647;
            word = static_cast<int32_t>(next);
            state_[i] = word;
        }
        front_ = kSeparation;
        rear_ = 0;
        for (int i = 0; i < kDegree * 10; ++i)
            Next();
    }

    // The next value rand() would return.
    int Next()
    {
        uint32_t value = static_cast<uint32_t>(state_[front_]) + static_cast<uint32_t>(state_[rear_]);
        state_[front_] = static_cast<int32_t>(value);
        if (++front_ == kDegree)
            front_ = 0;
        if (++rear_ == kDegree)
            rear_ = 0;
        return static_cast<int>(value >> 1);
    }

private:
    static constexpr int kDegree = 31;
    static constexpr int kSeparation = 3;
    int32_t state_[kDegree];
    int front_;
    int rear_;
};

}  // namespace mirlan

#endif
