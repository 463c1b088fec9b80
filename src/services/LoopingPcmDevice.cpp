#include "services/LoopingPcmDevice.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace larkspur {

LoopingPcmDevice::LoopingPcmDevice(QByteArray pcm, int passes, QObject* parent)
    : QIODevice(parent),
      pcm_(std::move(pcm)),
      passes_(passes == kEndless ? kEndless : std::max(passes, 1)) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 LoopingPcmDevice::bytesAvailable() const {
    if (pcm_.isEmpty() || exhausted()) return QIODevice::bytesAvailable();
    if (passes_ == kEndless) return std::numeric_limits<qint32>::max();
    return total() - served_ + QIODevice::bytesAvailable();
}

qint64 LoopingPcmDevice::readData(char* data, qint64 maxSize) {
    qint64 copied = 0;
    while (copied < maxSize && !pcm_.isEmpty() && !exhausted()) {
        const qint64 offset = served_ % pcm_.size();
        const qint64 chunk = std::min(maxSize - copied, qint64(pcm_.size()) - offset);
        std::memcpy(data + copied, pcm_.constData() + offset, std::size_t(chunk));
        copied += chunk;
        served_ += chunk;
    }
    return copied;
}

}  // namespace larkspur
