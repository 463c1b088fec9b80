#include "Aiff.h"

#include <cmath>
#include <fstream>

namespace soundgen {

namespace {
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v >> 16));
    put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
}
void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}
}  // namespace

std::vector<std::uint8_t> extendedBytes(double value) {
    std::vector<std::uint8_t> out;
    if (!(value > 0) || !std::isfinite(value)) {
        out.assign(10, 0);
        return out;
    }
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);  // value = fraction * 2^exponent
    // The mantissa keeps its leading one explicitly, so fraction * 2^64 fills all 64 bits.
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    put16(out, static_cast<std::uint16_t>(16383 + exponent - 1));
    put32(out, static_cast<std::uint32_t>(mantissa >> 32));
    put32(out, static_cast<std::uint32_t>(mantissa & 0xFFFFFFFFu));
    return out;
}

bool writeAiff(const std::string& path, const std::vector<std::int16_t>& samples,
               unsigned sampleRate) {
    const auto frames = static_cast<std::uint32_t>(samples.size());
    const std::uint32_t soundBytes = frames * 2;
    const std::uint32_t commSize = 18;
    const std::uint32_t ssndSize = 8 + soundBytes;
    std::vector<std::uint8_t> out;
    out.reserve(12 + 8 + commSize + 8 + ssndSize);

    putTag(out, "FORM");
    put32(out, 4 + (8 + commSize) + (8 + ssndSize));
    putTag(out, "AIFF");

    putTag(out, "COMM");
    put32(out, commSize);
    put16(out, 1);  // channels
    put32(out, frames);
    put16(out, 16);  // bits per sample
    const auto rate = extendedBytes(sampleRate);
    out.insert(out.end(), rate.begin(), rate.end());

    putTag(out, "SSND");
    put32(out, ssndSize);
    put32(out, 0);  // offset
    put32(out, 0);  // block size
    for (const std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return bool(file);
}

}  // namespace soundgen
