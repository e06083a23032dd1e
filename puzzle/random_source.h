#pragma once

namespace puzzle {

// Where the deal takes its chance from. Rnd() must return a single in
// [0, 1); Randomize() reseeds the sequence.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual float Rnd() = 0;
    virtual void Randomize() = 0;
};

// Int(r × n + 1): a whole number in 1..n for every r in [0, 1), the largest
// single below 1 included (the product is formed in double precision, where
// it is exact). An r outside [0, 1) breaks the source's contract and throws
// std::logic_error instead of yielding a number outside 1..n.
int drawWhole(float r, int n);

} // namespace puzzle
