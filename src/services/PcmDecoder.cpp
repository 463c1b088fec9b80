#include "services/PcmDecoder.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QUrl>

#include "services/PlainPcmFile.h"

namespace larkspur {

namespace {
// The last few decoded files; alert sounds are short and played again and again.
class PcmCache {
public:
    static constexpr qsizetype kMaxBytes = 24 * 1024 * 1024;

    static PcmCache& instance() {
        static PcmCache cache;
        return cache;
    }
    const QByteArray* find(const QString& key) {
        for (qsizetype i = 0; i < entries_.size(); ++i) {
            if (entries_[i].key != key) continue;
            entries_.move(i, 0);
            return &entries_.first().pcm;
        }
        return nullptr;
    }
    void insert(const QString& key, const QByteArray& pcm) {
        if (pcm.size() > kMaxBytes / 4) return;
        entries_.prepend({key, pcm});
        qsizetype total = 0;
        for (qsizetype i = 0; i < entries_.size(); ++i) {
            total += entries_[i].pcm.size();
            if (total > kMaxBytes) {
                entries_.resize(i);
                break;
            }
        }
    }

private:
    struct Entry {
        QString key;
        QByteArray pcm;
    };
    QList<Entry> entries_;
};

// A file changed in place must be decoded again.
QString cacheKey(const QFileInfo& file) {
    return file.absoluteFilePath() + QLatin1Char('\n') + QString::number(file.size()) +
           QLatin1Char('\n') + QString::number(file.lastModified().toMSecsSinceEpoch());
}

qsizetype bytesFor(int seconds) {
    const QAudioFormat f = PcmDecoder::format();
    return qsizetype(f.bytesForFrames(qint64(seconds) * f.sampleRate()));
}
}  // namespace

QAudioFormat PcmDecoder::format() {
    QAudioFormat f;
    f.setSampleRate(44100);
    f.setChannelCount(2);
    f.setSampleFormat(QAudioFormat::Int16);
    return f;
}

PcmDecoder::PcmDecoder(QObject* parent) : QObject(parent) {
    stall_.setSingleShot(true);
    connect(&stall_, &QTimer::timeout, this, &PcmDecoder::onStall);
}

PcmDecoder::~PcmDecoder() {
    release();
}

void PcmDecoder::start(const QString& path) {
    cancel();
    const QFileInfo file(path);
    key_ = cacheKey(file);
    if (const QByteArray* cached = PcmCache::instance().find(key_)) {
        Q_EMIT decoded(*cached);
        return;
    }
    const qsizetype limit = bytesFor(limitSeconds_);
    if (auto plain = readPlainPcm(file.absoluteFilePath(), limit / format().bytesPerFrame())) {
        pcm_ = std::move(*plain);
        deliver(pcm_.size() < limit);
        return;
    }
    path_ = file.absoluteFilePath();
    attempts_ = 0;
    startBackend();
}

void PcmDecoder::startBackend() {
    ++attempts_;
    decoder_ = new QAudioDecoder(this);
    decoder_->setAudioFormat(format());
    connect(decoder_, &QAudioDecoder::bufferReady, this, &PcmDecoder::onBufferReady);
    connect(decoder_, &QAudioDecoder::finished, this, &PcmDecoder::onFinished);
    connect(decoder_, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
            &PcmDecoder::onError);
    decoder_->setSource(QUrl::fromLocalFile(path_));
    stall_.start(kFirstBufferMs);
    decoder_->start();
}

void PcmDecoder::onStall() {
    // The backend now and then never gets going; a fresh decoder usually does.
    if (pcm_.isEmpty() && attempts_ < kAttempts) {
        release();
        startBackend();
        return;
    }
    fail(QStringLiteral("decoding made no progress"));
}

void PcmDecoder::cancel() {
    release();
    pcm_.clear();
}

void PcmDecoder::release() {
    stall_.stop();
    if (!decoder_) return;
    decoder_->disconnect(this);
    decoder_->stop();
    decoder_->deleteLater();
    decoder_ = nullptr;
}

void PcmDecoder::onBufferReady() {
    while (decoder_ && decoder_->bufferAvailable()) {
        const QAudioBuffer buffer = decoder_->read();
        // The backend is asked for this format; anything else would be played as noise.
        const QAudioFormat got = buffer.format();
        if (got.sampleRate() != format().sampleRate() ||
            got.channelCount() != format().channelCount() ||
            got.sampleFormat() != format().sampleFormat()) {
            fail(QStringLiteral("the decoder gave audio in another format"));
            return;
        }
        pcm_.append(buffer.constData<char>(), buffer.byteCount());
        if (const qsizetype limit = bytesFor(limitSeconds_); pcm_.size() >= limit) {
            pcm_.truncate(limit);
            deliver(false);
            return;
        }
    }
    stall_.start(kStallMs);
}

void PcmDecoder::onFinished() {
    deliver(true);
}

void PcmDecoder::deliver(bool whole) {
    release();
    if (pcm_.isEmpty()) {
        Q_EMIT failed(QStringLiteral("the file holds no audio"));
        return;
    }
    const QByteArray pcm = std::exchange(pcm_, {});
    if (whole) PcmCache::instance().insert(key_, pcm);
    Q_EMIT decoded(pcm);
}

void PcmDecoder::onError() {
    fail(decoder_ ? decoder_->errorString() : QStringLiteral("decoding failed"));
}

void PcmDecoder::fail(const QString& reason) {
    release();
    pcm_.clear();
    Q_EMIT failed(reason.isEmpty() ? QStringLiteral("decoding failed") : reason);
}

}  // namespace larkspur
