#pragma once

#include <QByteArray>
#include <QFile>
#include <QtEndian>
#include <cmath>
#include <numbers>

namespace larkspur::test {

// A PCM WAV file of a sine tone (8- or 16-bit, the same in every channel), for tests that need
// audio in formats of their choosing.
inline QByteArray sineWav(int sampleRate, double seconds, double frequency, double peak,
                          int channels = 1, int bits = 16) {
    const int frames = int(sampleRate * seconds);
    const int width = bits / 8;
    QByteArray data(frames * channels * width, Qt::Uninitialized);
    char* out = data.data();
    for (int i = 0; i < frames; ++i) {
        const double v = peak * std::sin(2 * std::numbers::pi * frequency * i / sampleRate);
        for (int c = 0; c < channels; ++c) {
            if (bits == 8)
                *out = char(128 + std::lround(v * 127));
            else
                qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), out);
            out += width;
        }
    }
    QByteArray head;
    auto put = [&](quint32 v, int size) {
        char b[4];
        qToLittleEndian(v, b);
        head.append(b, size);
    };
    head += "RIFF";
    put(quint32(36 + data.size()), 4);
    head += "WAVEfmt ";
    put(16, 4);
    put(1, 2);  // PCM
    put(quint32(channels), 2);
    put(quint32(sampleRate), 4);
    put(quint32(sampleRate * channels * width), 4);
    put(quint32(channels * width), 2);
    put(quint32(bits), 2);
    head += "data";
    put(quint32(data.size()), 4);
    return head + data;
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace larkspur::test
