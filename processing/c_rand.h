// c_rand.h: the C library's rand() sequence, drawn without the library's lock
// and from any position.
//
// The random threshold must draw exactly what srand(seed) followed by one
// rand() per pixel draws. glibc's rand() is an additive generator: with the
// 31 words of its state seen as the last 31 values y of a sequence,
// y[k] = y[k − 31] + y[k − 3] (mod 2^32) and each draw returns y[k] >> 1.
// srand fills the words with a Lehmer sequence and makes 310 draws. Here the
// sequence is produced in blocks, a few instructions per value, and can jump
// ahead, so that each core can start its share of the pixels at the draw that
// belongs to its first pixel. The tests check it against the library's own
// rand(). The library's generator itself is neither seeded nor advanced.
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

    // Passes over count values: a long way in a few thousand operations,
    // whatever the count.
    void Skip(size_t count)
    {
        if (count > kEnd - next_ && count >= kMinJump) {
            Jump(count);
            return;
        }
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
    // Below this, drawing the values costs less than jumping over them.
    static constexpr size_t kMinJump = size_t(1) << 16;

    // A polynomial of degree below 31 with coefficients modulo 2^32.
    struct Poly {
        uint32_t c[kDegree];
    };

    // a × b modulo x^31 − x^28 − 1, the generator's recurrence.
    static Poly MulMod(const Poly &a, const Poly &b)
    {
        uint32_t product[2 * kDegree - 1] = {};
        for (size_t i = 0; i < kDegree; ++i)
            for (size_t j = 0; j < kDegree; ++j)
                product[i + j] += a.c[i] * b.c[j];
        for (size_t d = 2 * kDegree - 2; d >= kDegree; --d) {  // x^d = x^(d−3) + x^(d−31)
            product[d - kSeparation] += product[d];
            product[d - kDegree] += product[d];
        }
        Poly r;
        std::memcpy(r.c, product, sizeof r.c);
        return r;
    }

    // Moves count values on, without producing them: every value of the
    // sequence is a fixed combination of any 31 consecutive ones, the
    // coefficients being those of x^count modulo the recurrence.
    void Jump(size_t count)
    {
        Poly power = {}, base = {};
        power.c[0] = 1;
        base.c[1] = 1;
        for (size_t e = count; e; e >>= 1) {
            if (e & 1)
                power = MulMod(power, base);
            base = MulMod(base, base);
        }
        uint32_t window[kDegree];
        std::memcpy(window, values_ + next_ - kDegree, sizeof window);
        for (size_t i = 0; i < kDegree; ++i) {
            uint32_t value = 0;
            for (size_t j = 0; j < kDegree; ++j)
                value += power.c[j] * window[j];
            values_[kEnd - kDegree + i] = value;
            // power × x for the next value.
            const uint32_t top = power.c[kDegree - 1];
            std::memmove(power.c + 1, power.c, (kDegree - 1) * sizeof power.c[0]);
            power.c[0] = top;
            power.c[kDegree - kSeparation] += top;
        }
        next_ = kEnd;
    }

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
