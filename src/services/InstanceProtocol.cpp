#include "services/InstanceProtocol.h"

#include <QStringDecoder>
#include <QtEndian>

namespace larkspur::wire {

QByteArray frame(char kind, const QByteArray& payload) {
    QByteArray bytes(kHeaderBytes, '\0');
    bytes[0] = kind;
    qToBigEndian(quint32(payload.size()), bytes.data() + 1);
    return bytes + payload;
}

quint32 payloadLength(const char* header) {
    return qFromBigEndian<quint32>(header + 1);
}

Batch encodeUrls(const QStringList& urls, const Limits& limits) {
    Batch batch;
    QByteArray payload;
    qsizetype total = 0;
    qsizetype count = 0;
    bool full = false;
    const auto flush = [&] {
        if (!payload.isEmpty()) batch.bytes += frame(kUrls, std::exchange(payload, {}));
    };
    for (const QString& original : urls) {
        QString url = original;
        url.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        url.replace(u'\r', u' ').replace(u'\n', u' ').remove(QChar(u'\0'));
        if (url.isEmpty()) continue;
        const QByteArray line = url.toUtf8();
        // One byte more for the line break that ends each URL. Once the batch is full, the
        // rest stays out too, so that no later command runs without an earlier one.
        const bool oversize = line.size() + 1 > limits.frameBytes;
        full = full ||
               (!oversize && (total + line.size() + 1 > limits.batchBytes || count == limits.urls));
        if (full || oversize) {
            batch.undelivered << original;
            continue;
        }
        if (payload.size() + line.size() + 1 > limits.frameBytes) flush();
        payload += line + '\n';
        total += line.size() + 1;
        ++count;
    }
    flush();
    batch.bytes += frame(kEnd);
    return batch;
}

std::optional<QStringList> decodeUrls(const QByteArray& payload) {
    if (payload.contains('\0')) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(payload);
    if (decoder.hasError()) return std::nullopt;
    QStringList urls;
    for (QStringView line : QStringView(text).split(u'\n', Qt::SkipEmptyParts)) {
        if (line.endsWith(u'\r')) line.chop(1);
        if (!line.isEmpty()) urls.append(line.toString());
    }
    return urls;
}

}  // namespace larkspur::wire
