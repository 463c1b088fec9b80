#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace larkspur::test {

// A 16-bit PCM AIFF file as read by a reader of our own, independent of the one that wrote it.
struct AiffSound {
    int channels = 0;
    std::uint32_t frames = 0;
    int bits = 0;
    double sampleRate = 0;
    std::vector<std::int16_t> samples;  // interleaved

    double seconds() const { return sampleRate > 0 ? frames / sampleRate : 0; }
};

// Nothing unless the bytes are a well-formed AIFF with 16-bit samples.
inline std::optional<AiffSound> readAiff(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = std::size_t(bytes.size());
    if (size < 12 || bytes.left(4) != "FORM" || bytes.mid(8, 4) != "AIFF") return std::nullopt;
    if (qFromBigEndian<quint32>(data + 4) + 8 != size) return std::nullopt;
    AiffSound sound;
    bool haveComm = false, haveSsnd = false;
    for (std::size_t at = 12; at + 8 <= size;) {
        const QByteArray id = bytes.mid(qsizetype(at), 4);
        const std::size_t length = qFromBigEndian<quint32>(data + at + 4), body = at + 8;
        if (body + length > size) return std::nullopt;
        if (id == "COMM" && length >= 18) {
            sound.channels = qFromBigEndian<qint16>(data + body);
            sound.frames = qFromBigEndian<quint32>(data + body + 2);
            sound.bits = qFromBigEndian<qint16>(data + body + 6);
            // The rate is an 80-bit extended number: 15-bit exponent, 64-bit mantissa.
            const int exponent = (data[body + 8] & 0x7F) << 8 | data[body + 9];
            const double mantissa = double(qFromBigEndian<quint64>(data + body + 10));
            sound.sampleRate = std::ldexp(mantissa, exponent - 16383 - 63);
            haveComm = true;
        } else if (id == "SSND" && length >= 8) {
            const std::size_t start = body + 8 + qFromBigEndian<quint32>(data + body);
            for (std::size_t i = start; i + 1 < body + length; i += 2)
                sound.samples.push_back(qFromBigEndian<qint16>(data + i));
            haveSsnd = true;
        }
        at = body + length + (length & 1);  // chunks are padded to even length
    }
    if (!haveComm || !haveSsnd || sound.bits != 16 || sound.channels < 1) return std::nullopt;
    if (sound.samples.size() != std::size_t(sound.frames) * std::size_t(sound.channels))
        return std::nullopt;
    return sound;
}

}  // namespace larkspur::test
