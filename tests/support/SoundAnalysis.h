#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace larkspur::test {

// One stretch of sound between silences.
struct Burst {
    std::size_t start = 0;  // first sample above the onset level
    std::size_t end = 0;    // one past the last loud window
    double peak = 0;        // of full scale
};

// Largest absolute sample of each window of `window` samples, as a fraction of full scale.
inline std::vector<double> peakEnvelope(const std::vector<std::int16_t>& s, std::size_t window) {
    std::vector<double> out;
    for (std::size_t i = 0; i + window <= s.size(); i += window) {
        int loudest = 0;
        for (std::size_t j = i; j < i + window; ++j)
            loudest = std::max(loudest, std::abs(int(s[j])));
        out.push_back(loudest / 32768.0);
    }
    return out;
}

// A burst starts where the level first reaches `onset` (of full scale) after it has stayed under
// `quiet` for at least `gapWindows` windows, and ends where it falls under `quiet` for that long.
inline std::vector<Burst> findBursts(const std::vector<std::int16_t>& s, double onset, double quiet,
                                     std::size_t window = 220, std::size_t gapWindows = 4) {
    const std::vector<double> env = peakEnvelope(s, window);
    std::vector<Burst> bursts;
    std::size_t quietRun = gapWindows;  // the capture begins as if after silence
    bool armed = true;                  // silent long enough for a new burst to begin
    bool inBurst = false;
    for (std::size_t w = 0; w < env.size(); ++w) {
        if (env[w] < quiet) {
            if (++quietRun >= gapWindows) {
                if (inBurst) bursts.back().end = (w + 1 - quietRun) * window;
                inBurst = false;
                armed = true;
            }
            continue;
        }
        quietRun = 0;
        if (armed && env[w] >= onset) {
            armed = false;
            inBurst = true;
            Burst b;
            b.start = w * window;
            while (b.start < s.size() && std::abs(int(s[b.start])) < onset * 32768) ++b.start;
            bursts.push_back(b);
        }
        if (inBurst) bursts.back().peak = std::max(bursts.back().peak, env[w]);
    }
    if (inBurst) bursts.back().end = env.size() * window;
    return bursts;
}

// Root mean square of `count` samples from `from`, of full scale.
inline double rms(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count) {
    const std::size_t to = std::min(s.size(), from + count);
    if (to <= from) return 0;
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from)) / 32768.0;
}

// Index of the first sample at or above `level` (of full scale) from `from`, or s.size().
inline std::size_t firstSound(const std::vector<std::int16_t>& s, double level,
                              std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i) {
        if (std::abs(int(s[i])) >= level * 32768) return i;
    }
    return s.size();
}

}  // namespace larkspur::test
