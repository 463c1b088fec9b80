#include "services/PlainPcmFile.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

namespace larkspur {

namespace {
constexpr double kRate = 44100;
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

struct Layout {
    int channels = 0;
    bool bigEndian = false;
    qsizetype dataOffset = 0;
    qsizetype dataBytes = 0;
};

// The 80-bit extended float of an AIFF sample rate.
double extended(const uchar* p) {
    const int exponent = ((p[0] & 0x7F) << 8) | p[1];
    const quint64 mantissa = qFromBigEndian<quint64>(p + 2);
    if (p[0] & 0x80) return -1;
    return std::ldexp(double(mantissa), exponent - 16383 - 63);
}

std::optional<Layout> aiffLayout(const QByteArray& b) {
    const auto* d = reinterpret_cast<const uchar*>(b.constData());
    if (b.size() < 12 || !b.startsWith("FORM") || b.mid(8, 4) != "AIFF") return std::nullopt;
    Layout l;
    l.bigEndian = true;
    qsizetype framesBytes = -1;
    qsizetype soundBytes = -1;
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype length = qFromBigEndian<quint32>(d + at + 4);
        const qsizetype body = at + 8;
        if (length > b.size() - body) return std::nullopt;
        if (id == "COMM") {
            if (length < 18) return std::nullopt;
            l.channels = qFromBigEndian<qint16>(d + body);
            const auto frames = qFromBigEndian<quint32>(d + body + 2);
            const int bits = qFromBigEndian<qint16>(d + body + 6);
            if (bits != 16 || extended(d + body + 8) != kRate) return std::nullopt;
            framesBytes = qsizetype(frames) * std::max(l.channels, 0) * 2;
        } else if (id == "SSND") {
            if (length < 8) return std::nullopt;
            l.dataOffset = body + 8 + qFromBigEndian<quint32>(d + body);
            soundBytes = body + length - l.dataOffset;
        }
        at = body + length + (length & 1);
    }
    if (framesBytes < 0 || soundBytes < 0) return std::nullopt;
    l.dataBytes = std::min(framesBytes, soundBytes);
    return l;
}

std::optional<Layout> wavLayout(const QByteArray& b) {
    const auto* d = reinterpret_cast<const uchar*>(b.constData());
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") return std::nullopt;
    Layout l;
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype length = qFromLittleEndian<quint32>(d + at + 4);
        const qsizetype body = at + 8;
        if (length > b.size() - body) return std::nullopt;
        if (id == "fmt ") {
            if (length < 16) return std::nullopt;
            const int tag = qFromLittleEndian<quint16>(d + body);
            l.channels = qFromLittleEndian<quint16>(d + body + 2);
            const auto rate = qFromLittleEndian<quint32>(d + body + 4);
            const int bits = qFromLittleEndian<quint16>(d + body + 14);
            if (tag != 1 || bits != 16 || rate != kRate) return std::nullopt;
            format = true;
        } else if (id == "data") {
            l.dataOffset = body;
            l.dataBytes = length;
            break;
        }
        at = body + length + (length & 1);
    }
    if (!format || l.dataOffset == 0) return std::nullopt;
    return l;
}
}  // namespace

std::optional<QByteArray> readPlainPcm(const QString& path, qint64 maxFrames) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return std::nullopt;
    const QByteArray bytes = file.readAll();
    auto layout = aiffLayout(bytes);
    if (!layout) layout = wavLayout(bytes);
    if (!layout || (layout->channels != 1 && layout->channels != 2)) return std::nullopt;

    const auto* in = reinterpret_cast<const uchar*>(bytes.constData() + layout->dataOffset);
    const qint64 frames = std::min<qint64>(layout->dataBytes / (2 * layout->channels), maxFrames);
    if (frames <= 0) return std::nullopt;
    QByteArray out(frames * 4, Qt::Uninitialized);
    auto* o = reinterpret_cast<uchar*>(out.data());
    for (qint64 f = 0; f < frames; ++f) {
        for (int c = 0; c < 2; ++c) {
            const uchar* s = in + (f * layout->channels + std::min(c, layout->channels - 1)) * 2;
            const qint16 v =
                layout->bigEndian ? qFromBigEndian<qint16>(s) : qFromLittleEndian<qint16>(s);
            qToLittleEndian<qint16>(v, o + f * 4 + c * 2);
        }
    }
    return out;
}

}  // namespace larkspur
