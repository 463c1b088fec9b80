#include "engine/SoundManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

#include "engine/SoundFiles.h"
#include "platform/Log.h"
#include "storage/JsonCodec.h"
#include "storage/StorageManager.h"

namespace larkspur {

namespace {
int playsFor(AlertMode mode) {
    switch (mode) {
        case AlertMode::OneShot:
            return 1;
        case AlertMode::Repeated:
            return 3;
        case AlertMode::LoopUntilDismissed:
            return AudioPlayer::kEndless;
    }
    return 1;
}

float unitRange(float value) {
    return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
}

std::nullopt_t importError(const QString& description) {
    logLine(QStringLiteral("SoundManager import error: ") + description);
    return std::nullopt;
}
}  // namespace

void SoundManager::Later::operator()(AudioPlayer* player) const {
    // Released players may be inside one of their own signals; they go when that has returned.
    player->disconnect();
    player->stop();
    player->deleteLater();
}

SoundManager::SoundManager(const StorageManager& storage, AudioPlayerFactory makePlayer,
                           QObject* parent)
    : QObject(parent),
      storage_(storage),
      makePlayer_(std::move(makePlayer)),
      systemSoundFolders_(sounds::defaultSystemSoundFolders()) {
    // An unreadable file has been reported and kept aside by the storage manager.
    if (auto loaded = storage_.load<QList<QString>>(kCustomSoundsFile))
        customSounds_ = std::move(*loaded);
}

SoundManager::~SoundManager() = default;

const QStringList& SoundManager::bundledSounds() {
    static const QStringList names{QStringLiteral("chime"), QStringLiteral("bell"),
                                   QStringLiteral("beep"),  QStringLiteral("soft"),
                                   QStringLiteral("alert"), QStringLiteral("gong")};
    return names;
}

void SoundManager::setGlobalVolume(float volume) {
    if (!std::isfinite(volume)) return;
    volume = std::clamp(volume, 0.0f, 1.0f);
    if (volume == globalVolume_) return;
    globalVolume_ = volume;
    Q_EMIT globalVolumeChanged();
}

QString SoundManager::customSoundsDir() const {
    const QString folder = storage_.directory() + QStringLiteral("/Sounds");
    QDir().mkpath(folder);  // a failure shows up as a failed import
    return folder;
}

QString SoundManager::customSoundPath(const QString& name) const {
    return sounds::findCustomSound(customSoundsDir(), name);
}

QUrl SoundManager::locate(const QString& name) const {
    if (const QString path = customSoundPath(name); !path.isEmpty())
        return QUrl::fromLocalFile(path);
    return sounds::builtInSound(name);
}

void SoundManager::play(const SoundConfig& config, const QUuid& owner) {
    stop();
    const QUrl url = locate(config.soundName);
    if (url.isEmpty()) {
        playSystemSound(config.soundName);
        return;
    }
    playFromUrl(url, globalVolume_ * unitRange(config.volume), playsFor(config.alertMode),
                Purpose::Completion, owner);
}

void SoundManager::playPreview(const QString& name) {
    stop();
    const QUrl url = locate(name);
    if (!url.isEmpty()) playFromUrl(url, globalVolume_, 1, Purpose::Preview, {});
}

void SoundManager::playFromUrl(const QUrl& url, float volume, int plays, Purpose purpose,
                               const QUuid& owner) {
    PlayerPtr player(makePlayer_ ? makePlayer_().release() : nullptr);
    if (!player) return;
    AudioPlayer* raw = player.get();
    connect(raw, &AudioPlayer::failed, this,
            [this, raw, purpose] { onCurrentFailed(raw, purpose); });
    connect(raw, &AudioPlayer::finished, this, [this, raw] { onCurrentFinished(raw); });
    // Current before it starts, so that a failure reported at once finds it.
    currentPlayer_ = std::move(player);
    setOwner(purpose == Purpose::Completion ? owner : QUuid());
    if (!raw->open(url)) {
        onCurrentFailed(raw, purpose);
        return;
    }
    raw->setVolume(volume);
    raw->setPlays(plays);
    raw->play();
}

void SoundManager::onCurrentFailed(AudioPlayer* player, Purpose purpose) {
    if (currentPlayer_.get() != player) return;
    currentPlayer_.reset();
    setOwner({});
    // A preview that cannot be played stays silent; a completion must still be heard.
    if (purpose == Purpose::Completion) playSystemSound(QStringLiteral("Purr"));
}

void SoundManager::onCurrentFinished(AudioPlayer* player) {
    if (currentPlayer_.get() == player) setOwner({});
}

void SoundManager::playSystemSound(const QString& name) {
    const QString path = sounds::findSystemSound(systemSoundFolders_, name);
    if (path.isEmpty() || !makePlayer_) return;
    PlayerPtr player(makePlayer_().release());
    if (!player || !player->open(QUrl::fromLocalFile(path))) return;
    player->setVolume(1.0f);
    player->setPlays(1);
    player->play();
    systemPlayer_ = std::move(player);
}

void SoundManager::stop() {
    currentPlayer_.reset();
    setOwner({});
}

void SoundManager::stopSoundOf(const QUuid& timerId) {
    if (!timerId.isNull() && timerId == owner_) stop();
}

void SoundManager::stopSoundOf(const QString& timerId) {
    stopSoundOf(QUuid::fromString(timerId.trimmed()));
}

bool SoundManager::isPlaying() const {
    return currentPlayer_ && currentPlayer_->isPlaying();
}

QString SoundManager::soundingTimerId() const {
    return owner_.isNull() ? QString() : json::uuidToString(owner_);
}

void SoundManager::setOwner(const QUuid& owner) {
    if (owner == owner_) return;
    owner_ = owner;
    Q_EMIT soundingTimerChanged();
}

std::optional<QString> SoundManager::importCustomSound(const QString& filePath) {
    const QFileInfo source(filePath);
    const QString extension = source.suffix().toLower();
    if (!sounds::customExtensions().contains(extension))
        return importError(
            QStringLiteral("\"%1\" is not an MP3, WAV, M4A or AIFF file").arg(filePath));
    const QString name = source.completeBaseName();
    if (!sounds::isSafeName(name))
        return importError(QStringLiteral("\"%1\" gives no usable sound name").arg(filePath));

    const QString target =
        customSoundsDir() + QLatin1Char('/') + name + QLatin1Char('.') + extension;
    QString error;
    if (!sounds::copyReplacing(filePath, target, &error)) return importError(error);

    if (customSounds_.contains(name)) return name;
    customSounds_.append(name);
    save();
    Q_EMIT customSoundsChanged();
    return name;
}

QString SoundManager::importCustomSoundFrom(const QUrl& location) {
    if (!location.isLocalFile()) {
        importError(QStringLiteral("\"%1\" is not a local file").arg(location.toString()));
        return {};
    }
    return importCustomSound(location.toLocalFile()).value_or(QString());
}

void SoundManager::removeCustomSound(const QString& name) {
    const auto removed = customSounds_.removeAll(name);
    // A name that could reach outside the folder deletes nothing.
    if (sounds::isSafeName(name)) {
        const QString folder = customSoundsDir();
        for (const QString& extension : sounds::customExtensions())
            QFile::remove(folder + QLatin1Char('/') + name + QLatin1Char('.') + extension);
    }
    save();
    if (removed > 0) Q_EMIT customSoundsChanged();
}

void SoundManager::save() const {
    storage_.save(QList<QString>(customSounds_), kCustomSoundsFile);
}

}  // namespace larkspur
