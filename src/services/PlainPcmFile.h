#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace larkspur {

// Reads the simplest sound files without the media backend: uncompressed 16-bit AIFF or WAV at
// 44.1 kHz, mono or stereo (the built-in sounds are such files). Gives interleaved stereo 16-bit
// little-endian samples, at most `maxFrames` of them, or nothing for any other file, which is
// then left to the full decoder.
std::optional<QByteArray> readPlainPcm(const QString& path, qint64 maxFrames);

}  // namespace larkspur
