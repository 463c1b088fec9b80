#include "services/QtAudioPlayer.h"

#include <QAudioDecoder>
#include <QAudioDevice>
#include <QAudioSink>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>

#include "services/LoopingPcmDevice.h"
#include "services/PcmDecoder.h"
#include "services/ResourceFileCache.h"

namespace larkspur {

Q_LOGGING_CATEGORY(lcAudio, "larkspur.audio", QtWarningMsg)

static_assert(AudioPlayer::kEndless == LoopingPcmDevice::kEndless);

QtAudioPlayer::QtAudioPlayer(QObject* parent) : QtAudioPlayer(defaultSoundCacheFolder(), parent) {}

QtAudioPlayer::QtAudioPlayer(QString cacheFolder, QObject* parent)
    : AudioPlayer(parent), cacheFolder_(std::move(cacheFolder)), decoder_(new PcmDecoder(this)) {
    progress_.setTimerType(Qt::PreciseTimer);
    progress_.setInterval(20);
    connect(&progress_, &QTimer::timeout, this, &QtAudioPlayer::trackProgress);
    connect(decoder_, &PcmDecoder::decoded, this, &QtAudioPlayer::onDecoded);
    connect(decoder_, &PcmDecoder::failed, this, &QtAudioPlayer::fail);
}

QtAudioPlayer::~QtAudioPlayer() {
    releaseOutput();
}

void QtAudioPlayer::prepareOutput() {
    QMediaDevices::defaultAudioOutput();
    // The first decoder loads GStreamer, which the fallback sounds need.
    const QAudioDecoder loadsTheBackend;
}

AudioPlayerFactory QtAudioPlayer::factory() {
    return [] { return std::make_unique<QtAudioPlayer>(); };
}

bool QtAudioPlayer::open(const QUrl& source) {
    stop();
    decoder_->cancel();
    opened_ = decodedReady_ = failed_ = false;
    source_ = source;
    pcm_.clear();
    QString path;
    if (source.scheme() == QStringLiteral("qrc")) {
        if (!QFileInfo(QLatin1Char(':') + source.path()).isFile()) return false;
        const QUrl copy = playableUrl(source, cacheFolder_);
        // The decoder reads files only; a resource that could not be copied cannot be played.
        if (!copy.isLocalFile()) return false;
        path = copy.toLocalFile();
    } else if (source.isLocalFile()) {
        path = source.toLocalFile();
    } else {
        return false;  // only what is on this machine is played
    }
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) return false;
    opened_ = true;
    decoder_->start(path);  // may deliver at once from the cache
    return true;
}

void QtAudioPlayer::setVolume(float volume) {
    volume_ = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
    if (output_) output_->setVolume(volume_);
}

void QtAudioPlayer::setPlays(int plays) {
    plays_ = plays == kEndless ? kEndless : std::max(plays, 1);
}

void QtAudioPlayer::play() {
    if (!opened_ || failed_) return;
    releaseOutput();
    done_ = 0;
    active_ = true;
    if (decodedReady_) startOutput();  // else it starts when decoding is done
}

void QtAudioPlayer::stop() {
    active_ = false;
    releaseOutput();
}

void QtAudioPlayer::onDecoded(const QByteArray& pcm) {
    pcm_ = pcm;
    decodedReady_ = true;
    if (active_ && !output_) startOutput();
}

void QtAudioPlayer::startOutput() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        fail(QStringLiteral("no audio output device"));
        return;
    }
    device_ = new LoopingPcmDevice(pcm_, plays_, this);
    drainClock_.invalidate();
    output_ = new QAudioSink(device, PcmDecoder::format(), this);
    output_->setVolume(volume_);
    connect(output_, &QAudioSink::stateChanged, this, &QtAudioPlayer::onOutputState);
    output_->start(device_);
    if (!output_) return;  // failed while starting
    if (output_->error() != QAudio::NoError && output_->error() != QAudio::UnderrunError)
        fail(QStringLiteral("the audio output could not be opened"));
    else
        progress_.start();
}

void QtAudioPlayer::trackProgress() {
    if (!active_ || !output_ || !device_ || pcm_.isEmpty()) return;
    // What the server still holds has been handed out but not yet heard.
    qint64 queued = std::max<qint64>(0, output_->bufferSize() - output_->bytesFree());
    if (device_->exhausted()) {
        if (!drainClock_.isValid()) drainClock_.start();
        // The server's buffer cannot take longer than its own length to play out.
        const qint64 bufferMs =
            PcmDecoder::format().durationForBytes(int(output_->bufferSize())) / 1000;
        if (drainClock_.elapsed() > bufferMs + 100) queued = 0;
    }
    const qint64 played = std::max<qint64>(0, device_->bytesServed() - queued);
    const qint64 passes = played / pcm_.size();
    while (active_ && done_ < passes) {
        ++done_;
        const bool last = plays_ != kEndless && done_ >= plays_;
        // The output is left running after the last pass so that its tail is still heard.
        if (last) {
            active_ = false;
            progress_.stop();
        }
        Q_EMIT playCompleted(done_);
        if (last) Q_EMIT finished();
    }
}

void QtAudioPlayer::onOutputState(QAudio::State state) {
    if (state != QAudio::StoppedState || !output_ || sender() != output_) return;
    const QAudio::Error error = output_->error();
    if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError)
        fail(QStringLiteral("the audio output failed"));
}

void QtAudioPlayer::releaseOutput() {
    progress_.stop();
    if (output_) {
        output_->disconnect(this);
        output_->stop();
        output_->deleteLater();
    }
    if (device_) {
        device_->disconnect(this);
        device_->deleteLater();
    }
    output_ = nullptr;
    device_ = nullptr;
}

void QtAudioPlayer::fail(const QString& reason) {
    if (failed_) return;
    qCDebug(lcAudio) << "cannot play" << source_ << reason;
    failed_ = true;
    active_ = false;
    releaseOutput();
    Q_EMIT failed(reason);
}

}  // namespace larkspur
