#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// Writes 16-bit PCM mono AIFF; false when the file cannot be written.
bool writeAiff(const std::string& path, const std::vector<std::int16_t>& samples,
               unsigned sampleRate);

// The 80-bit IEEE extended form AIFF uses for the sample rate, big-endian.
std::vector<std::uint8_t> extendedBytes(double value);

}  // namespace soundgen
