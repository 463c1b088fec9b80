#pragma once

#include <QAudio>
#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include "platform/AudioPlayer.h"

class QAudioSink;

namespace larkspur {

class LoopingPcmDevice;
class PcmDecoder;

// AudioPlayer on Qt Multimedia: the file is decoded to PCM (GStreamer) and streamed to the audio
// server (PulseAudio) the set number of times without a gap. Qt 6.4's media player was not used
// because, on its GStreamer backend, a new player often never starts once another has been
// destroyed, and replays after the end of the stream are sometimes silent.
class QtAudioPlayer final : public AudioPlayer {
    Q_OBJECT
public:
    // Resources are copied into `cacheFolder` before they are decoded (see ResourceFileCache.h).
    explicit QtAudioPlayer(QString cacheFolder, QObject* parent = nullptr);
    explicit QtAudioPlayer(QObject* parent = nullptr);
    ~QtAudioPlayer() override;

    bool open(const QUrl& source) override;
    void setVolume(float volume) override;
    void setPlays(int plays) override;
    void play() override;
    void stop() override;
    bool isPlaying() const override { return active_; }

    float volume() const { return volume_; }
    int plays() const { return plays_; }
    int playsDone() const { return done_; }

    static AudioPlayerFactory factory();
    // Loads the media backend and finds the audio server now (a few hundred milliseconds the
    // first time, longer while a server is being started), so that a later play does not wait
    // for them on a completion's path. Call on the main thread, ahead of need.
    static void prepareOutput();

private:
    void onDecoded(const QByteArray& pcm);
    void startOutput();
    // Counts the passes the audio server has been given and has played.
    void trackProgress();
    void onOutputState(QAudio::State state);
    void releaseOutput();
    void fail(const QString& reason);

    QString cacheFolder_;
    QUrl source_;
    PcmDecoder* decoder_;
    QPointer<QAudioSink> output_;
    QPointer<LoopingPcmDevice> device_;
    QTimer progress_;
    QElapsedTimer drainClock_;  // runs from when the last byte was handed out
    QByteArray pcm_;
    bool opened_ = false;
    bool decodedReady_ = false;
    bool failed_ = false;
    bool active_ = false;
    float volume_ = 1.0f;
    int plays_ = 1;
    int done_ = 0;
};

}  // namespace larkspur
