#pragma once

#include <QFileInfo>
#include <QList>
#include <QPointer>
#include <QSet>
#include <memory>

#include "platform/AudioPlayer.h"

namespace larkspur::test {

// What was asked of one fake player; outlives the player so tests can look after release.
struct FakePlayback {
    QUrl source;
    float volume = -1;
    int plays = 0;
    int playCalls = 0;
    int stopCalls = 0;
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
        : record_(std::move(record)), refuseOpen_(refuseOpen) {}
    ~FakeAudioPlayer() override { record_->released = true; }

    bool open(const QUrl& source) override {
        record_->source = source;
        const QString path = source.scheme() == QStringLiteral("qrc")
                                 ? QLatin1Char(':') + source.path()
                                 : source.toLocalFile();
        record_->opened = !refuseOpen_ && QFileInfo(path).isFile();
        return record_->opened;
    }
    void setVolume(float volume) override { record_->volume = volume; }
    void setPlays(int plays) override { record_->plays = plays; }
    void play() override {
        if (!record_->opened) return;
        ++record_->playCalls;
        record_->playsDone = 0;
        record_->playing = true;
    }
    void stop() override {
        ++record_->stopCalls;
        record_->playing = false;
    }
    bool isPlaying() const override { return record_->playing; }

    // One play of the file comes to its end.
    void endOnePlay() {
        if (!record_->playing) return;
        const int done = ++record_->playsDone;
        const bool last = record_->plays != kEndless && done >= record_->plays;
        if (last) record_->playing = false;
        Q_EMIT playCompleted(done);
        if (last) Q_EMIT finished();
    }
    // The backend finds the file is not audio.
    void breakDown() {
        record_->playing = false;
        Q_EMIT failed(QStringLiteral("not audio"));
    }

private:
    std::shared_ptr<FakePlayback> record_;
    bool refuseOpen_;
};

// Makes fake players and keeps the record of each, in the order they were made.
class FakePlayers {
public:
    AudioPlayerFactory factory() {
        return [this]() -> std::unique_ptr<AudioPlayer> {
            auto record = std::make_shared<FakePlayback>();
            auto player = std::make_unique<FakeAudioPlayer>(record, refuseNextOpen);
            refuseNextOpen = false;
            records.append(record);
            players.append(player.get());
            return player;
        };
    }

    int count() const { return int(records.size()); }
    const FakePlayback& at(int i) const { return *records.at(i); }
    const FakePlayback& last() const { return *records.constLast(); }
    // Null once the manager has released the player and it has been deleted.
    FakeAudioPlayer* player(int i) const { return players.at(i).data(); }
    FakeAudioPlayer* lastPlayer() const { return players.constLast().data(); }

    // The next player made will fail to open its file.
    bool refuseNextOpen = false;

private:
    QList<std::shared_ptr<FakePlayback>> records;
    QList<QPointer<FakeAudioPlayer>> players;
};

}  // namespace larkspur::test
