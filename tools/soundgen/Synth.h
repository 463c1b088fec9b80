#pragma once

#include <cstdint>
#include <vector>

namespace soundgen {

inline constexpr unsigned kSampleRate = 44100;

// One sine component of a struck or held tone. Its level rises over `attack` seconds and then
// falls by 1/e every `decay` seconds (a decay of 0 holds it).
struct Partial {
    double frequency;
    double amplitude;
    double decay;
    double attack = 0.003;
};

// A mono buffer of floating-point samples that tones are mixed into.
class Clip {
public:
    explicit Clip(double seconds);

    // Mixes the partials in from `start` for `length` seconds; the tone's end is smoothed over
    // `release` seconds so it never clicks.
    void addTone(double start, double length, const std::vector<Partial>& partials,
                 double release = 0.01);

    // Scales the whole clip so its loudest sample reaches `peak` (of full scale), then fades the
    // last `fade` seconds to silence along a raised cosine.
    void finish(double peak, double fade);

    std::vector<std::int16_t> toPcm16() const;
    const std::vector<double>& samples() const { return samples_; }

private:
    std::vector<double> samples_;
};

}  // namespace soundgen
