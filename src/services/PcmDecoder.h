#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QTimer>

class QAudioDecoder;

namespace larkspur {

// Decodes a sound file into PCM in one fixed format: the result arrives through decoded() or
// failed(). Plain 16-bit files and recently decoded ones are ready at once, and then decoded()
// is emitted before start() returns; anything else goes through the media backend.
class PcmDecoder final : public QObject {
    Q_OBJECT
public:
    // 44.1 kHz, stereo, signed 16-bit.
    static QAudioFormat format();
    // Longer sounds are cut there, so that a huge file cannot exhaust memory (about 53 MB).
    static constexpr int kMaxSeconds = 300;
    // A decoder that makes no progress for this long has failed...
    static constexpr int kStallMs = 5000;
    // ...except before its first output, when it is started afresh up to kAttempts times.
    static constexpr int kFirstBufferMs = 1000;
    static constexpr int kAttempts = 3;

    explicit PcmDecoder(QObject* parent = nullptr);
    ~PcmDecoder() override;

    void start(const QString& path);
    void cancel();
    void setLimitSeconds(int seconds) { limitSeconds_ = seconds; }

Q_SIGNALS:
    void decoded(const QByteArray& pcm);
    void failed(const QString& reason);

private:
    void startBackend();
    void onStall();
    void onBufferReady();
    void onFinished();
    // `whole` is false for a sound cut at the limit, which is not kept in the cache.
    void deliver(bool whole);
    void onError();
    void fail(const QString& reason);
    void release();

    QAudioDecoder* decoder_ = nullptr;
    QTimer stall_;
    QByteArray pcm_;
    QString key_;
    QString path_;
    int attempts_ = 0;
    int limitSeconds_ = kMaxSeconds;
};

}  // namespace larkspur
