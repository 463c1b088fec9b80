#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QUuid>
#include <memory>
#include <optional>

#include "engine/TimerTypes.h"
#include "platform/AudioPlayer.h"

namespace larkspur {

class StorageManager;

inline const QString kCustomSoundsFile = QStringLiteral("custom-sounds.json");

// Plays completion sounds and previews, and keeps the sounds the user imported. At most one
// sound played through a player is current; starting another stops it. Fallback sounds of the
// desktop theme go through a second player and are left to finish on their own.
class SoundManager final : public QObject {
    Q_OBJECT
    Q_PROPERTY(
        float globalVolume READ globalVolume WRITE setGlobalVolume NOTIFY globalVolumeChanged)
    Q_PROPERTY(QStringList customSounds READ customSounds NOTIFY customSoundsChanged)
    Q_PROPERTY(QStringList bundledSounds READ bundledSounds CONSTANT)
    // The id of the timer whose completion sound is playing, or empty.
    Q_PROPERTY(QString soundingTimerId READ soundingTimerId NOTIFY soundingTimerChanged)

public:
    // Loads "custom-sounds.json". Every sound gets a player of its own from `makePlayer`.
    SoundManager(const StorageManager& storage, AudioPlayerFactory makePlayer,
                 QObject* parent = nullptr);
    ~SoundManager() override;

    static const QStringList& bundledSounds();

    float globalVolume() const { return globalVolume_; }
    // Kept within 0 to 1; not a number is ignored. Sounds already playing keep their volume.
    void setGlobalVolume(float volume);
    const QStringList& customSounds() const { return customSounds_; }

    // The completion sound of a timer, repeated as its alert mode says. `owner` names the timer
    // so that stopSoundOf() can end the sound for it.
    void play(const SoundConfig& config, const QUuid& owner = {});
    // One play of the named sound at the master volume.
    Q_INVOKABLE void playPreview(const QString& name);
    Q_INVOKABLE void stop();
    // Stops the current sound only when it is the completion sound of that timer.
    void stopSoundOf(const QUuid& timerId);
    Q_INVOKABLE void stopSoundOf(const QString& timerId);

    // Copies the file into the custom sounds folder; gives the new sound's name, or nothing when
    // the file was refused or could not be copied (a line is printed then). The earlier file of
    // that name stays in place until the new one is completely written.
    std::optional<QString> importCustomSound(const QString& filePath);
    // The same for a "file:" URL from a file dialog; an empty text on failure.
    Q_INVOKABLE QString importCustomSoundFrom(const QUrl& location);
    Q_INVOKABLE void removeCustomSound(const QString& name);

    // "<data folder>/Sounds", created when missing.
    QString customSoundsDir() const;
    // The local file a custom sound plays from, or empty when there is none.
    QString customSoundPath(const QString& name) const;

    bool isPlaying() const;
    QUuid soundingTimer() const { return owner_; }
    QString soundingTimerId() const;
    // Where the desktop theme's sounds are looked up; the XDG data folders by default.
    void setSystemSoundFolders(const QStringList& folders) { systemSoundFolders_ = folders; }

Q_SIGNALS:
    void globalVolumeChanged();
    void customSoundsChanged();
    void soundingTimerChanged();

private:
    struct Later {
        void operator()(AudioPlayer* player) const;
    };
    using PlayerPtr = std::unique_ptr<AudioPlayer, Later>;

    enum class Purpose { Completion, Preview };

    QUrl locate(const QString& name) const;
    void playFromUrl(const QUrl& url, float volume, int plays, Purpose purpose, const QUuid& owner);
    void playSystemSound(const QString& name);
    void onCurrentFailed(AudioPlayer* player, Purpose purpose);
    void onCurrentFinished(AudioPlayer* player);
    void setOwner(const QUuid& owner);
    void save() const;

    const StorageManager& storage_;
    AudioPlayerFactory makePlayer_;
    QStringList systemSoundFolders_;
    float globalVolume_ = 0.8f;
    QStringList customSounds_;
    PlayerPtr currentPlayer_;
    PlayerPtr systemPlayer_;
    QUuid owner_;
};

}  // namespace larkspur
