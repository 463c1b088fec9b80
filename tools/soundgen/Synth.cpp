#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace soundgen {

namespace {
// Rises from 0 to 1 as x goes from 0 to 1, with zero slope at both ends.
double smoothStep(double x) {
    x = std::clamp(x, 0.0, 1.0);
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}
}  // namespace

Clip::Clip(double seconds) : samples_(static_cast<std::size_t>(seconds * kSampleRate), 0.0) {}

void Clip::addTone(double start, double length, const std::vector<Partial>& partials,
                   double release) {
    const auto first = static_cast<std::size_t>(std::max(0.0, start) * kSampleRate);
    const auto count = static_cast<std::size_t>(length * kSampleRate);
    const std::size_t last = std::min(samples_.size(), first + count);
    constexpr double twoPi = 2 * std::numbers::pi;
    for (std::size_t i = first; i < last; ++i) {
        const double t = double(i - first) / kSampleRate;
        const double tail = smoothStep((length - t) / release);
        double value = 0;
        for (const Partial& p : partials) {
            const double rise = p.attack > 0 ? smoothStep(t / p.attack) : 1.0;
            const double fall = p.decay > 0 ? std::exp(-t / p.decay) : 1.0;
            value += p.amplitude * rise * fall * std::sin(twoPi * p.frequency * t);
        }
        samples_[i] += value * tail;
    }
}

void Clip::finish(double peak, double fade) {
    double loudest = 0;
    for (const double s : samples_) loudest = std::max(loudest, std::abs(s));
    const double gain = loudest > 0 ? peak / loudest : 0;
    const std::size_t fadeCount = std::min(samples_.size(), std::size_t(fade * kSampleRate));
    const std::size_t fadeStart = samples_.size() - fadeCount;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        samples_[i] *= gain;
        if (i >= fadeStart) samples_[i] *= smoothStep(double(samples_.size() - 1 - i) / fadeCount);
    }
}

std::vector<std::int16_t> Clip::toPcm16() const {
    std::vector<std::int16_t> out;
    out.reserve(samples_.size());
    for (const double s : samples_) {
        const double scaled = std::round(std::clamp(s, -1.0, 1.0) * 32767.0);
        out.push_back(static_cast<std::int16_t>(scaled));
    }
    return out;
}

}  // namespace soundgen
