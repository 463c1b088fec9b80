#pragma once

#include <QFileInfo>
#include <QList>
#include <QPointer>
#include <memory>

#include "platform/AudioPlayer.h"

namespace larkspur::test {

// What was asked of one fake player; outlives the player so tests can look after release.
struct FakePlayback {
    QUrl source;
    float volume = -1;
    int plays = 0;
    int playCalls = 0;
    int playsDone = 0;
    bool opened = false;
    bool playing = false;
    bool released = false;

    // The played file's name ("bell.aiff", "Alarm.mp3").
    QString fileName() const { return QFileInfo(source.path()).fileName(); }
};

// Plays nothing; the test ends plays and breaks players by hand.
class FakeAudioPlayer final : public AudioPlayer {
public:
    FakeAudioPlayer(std::shared_ptr<FakePlayback> record, bool refuseOpen)
        : r_(std::move(record)), refuseOpen_(refuseOpen) {}
    ~FakeAudioPlayer() override { r_->released = true; }

    bool open(const QUrl& source) override {
        r_->source = source;
        const bool qrc = source.scheme() == QStringLiteral("qrc");
        r_->opened =
            !refuseOpen_ &&
            QFileInfo(qrc ? QLatin1Char(':') + source.path() : source.toLocalFile()).isFile();
        return r_->opened;
    }
    void setVolume(float volume) override { r_->volume = volume; }
    void setPlays(int plays) override { r_->plays = plays; }
    void play() override { r_->playCalls += r_->playing = r_->opened; }
    void stop() override { r_->playing = false; }
    bool isPlaying() const override { return r_->playing; }

    // One play of the file comes to its end.
    void endOnePlay() {
        if (r_->plays != kEndless && ++r_->playsDone >= r_->plays)
            r_->playing = false, Q_EMIT finished();
    }
    // The backend finds the file is not audio.
    void breakDown() {
        r_->playing = false;
        Q_EMIT failed(QStringLiteral("not audio"));
    }

private:
    std::shared_ptr<FakePlayback> r_;
    bool refuseOpen_;
};

// Makes fake players and keeps the record of each, in the order they were made.
class FakePlayers {
public:
    AudioPlayerFactory factory() {
        return [this]() -> std::unique_ptr<AudioPlayer> {
            records.append(std::make_shared<FakePlayback>());
            auto player = std::make_unique<FakeAudioPlayer>(records.constLast(), refuseNextOpen);
            refuseNextOpen = false;
            players.append(player.get());
            return player;
        };
    }

    int count() const { return int(records.size()); }
    const FakePlayback& at(int i) const { return *records.at(i); }
    const FakePlayback& last() const { return *records.constLast(); }
    // Null once the manager has released the player and it has been deleted.
    FakeAudioPlayer* lastPlayer() const { return players.constLast().data(); }

    // The next player made will fail to open its file.
    bool refuseNextOpen = false;

private:
    QList<std::shared_ptr<FakePlayback>> records;
    QList<QPointer<FakeAudioPlayer>> players;
};

}  // namespace larkspur::test
