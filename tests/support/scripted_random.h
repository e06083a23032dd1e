#pragma once

#include "random_source.h"

#include <deque>
#include <stdexcept>

// A random source that returns the numbers it is given, in order, and counts
// reseeds. Running out of numbers is a test error.
class ScriptedRandom : public puzzle::RandomSource {
public:
    ScriptedRandom() = default;
    ScriptedRandom(std::initializer_list<float> r)
        : script_(r)
    {
    }

    void push(float r) { script_.push_back(r); }

    // The r that draws square n (1..27) and then pattern p (1..9).
    void deal(int square, int pattern)
    {
        push((static_cast<float>(square) - 0.5f) / 27.0f);
        push((static_cast<float>(pattern) - 0.5f) / 9.0f);
    }

    float Rnd() override
    {
        if (script_.empty())
            throw std::logic_error("scripted random source ran out of numbers");
        const float r = script_.front();
        script_.pop_front();
        ++draws;
        return r;
    }
    void Randomize() override { ++reseeds; }

    std::size_t left() const { return script_.size(); }
    int draws = 0;
    int reseeds = 0;

private:
    std::deque<float> script_;
};
