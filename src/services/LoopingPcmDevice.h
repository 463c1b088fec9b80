#pragma once

#include <QByteArray>
#include <QIODevice>

namespace larkspur {

// Hands the same PCM out a set number of times, or endlessly, without a gap between passes.
class LoopingPcmDevice final : public QIODevice {
    Q_OBJECT
public:
    static constexpr int kEndless = -1;

    LoopingPcmDevice(QByteArray pcm, int passes, QObject* parent = nullptr);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;
    // Everything handed out so far, over all passes.
    qint64 bytesServed() const { return served_; }
    bool exhausted() const { return passes_ != kEndless && served_ >= total(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 total() const { return qint64(passes_) * pcm_.size(); }

    QByteArray pcm_;
    int passes_;
    qint64 served_ = 0;
};

}  // namespace larkspur
