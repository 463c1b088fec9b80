#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

namespace larkspur {

// Plays one sound file a set number of times. Playback runs in the background; the caller
// learns of its end only through the signals.
class AudioPlayer : public QObject {
    Q_OBJECT
public:
    static constexpr int kEndless = -1;

    using QObject::QObject;

    // Takes a local file or a "qrc:" resource. False when it cannot be read at all; a file that
    // turns out not to be audio is reported later through failed().
    virtual bool open(const QUrl& source) = 0;
    // Linear gain, 0 to 1.
    virtual void setVolume(float volume) = 0;
    // How many times play() sounds the file, or kEndless for until stop().
    virtual void setPlays(int plays) = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() const = 0;

Q_SIGNALS:
    void playCompleted(int playsDone);
    // Every play has sounded; not emitted after stop() or a failure.
    void finished();
    // The file could not be decoded or the output broke; playback has stopped.
    void failed(const QString& reason);
};

using AudioPlayerFactory = std::function<std::unique_ptr<AudioPlayer>()>;

}  // namespace larkspur
