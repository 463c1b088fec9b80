#include "TestFixture.h"

#include <QDesktopServices>
#include <QFile>
#include <QQmlEngine>
#include <QTimer>

#include "support/FakeAudioPlayer.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"

namespace larkspur::test {

// Everything one set of managers depends on, destroyed together with them.
struct FixtureWorld {
    ManualTime time;
    TempStorage files;
    RecordingNotifier notifier;
    FakePlayers players;
    // In the program's order of creation; members go in reverse, managers before their services.
    std::unique_ptr<TimerManager> timers{
        std::make_unique<TimerManager>(files.storage, time, time, notifier)};
    std::unique_ptr<PresetManager> presets{std::make_unique<PresetManager>(files.storage)};
    std::unique_ptr<SoundManager> sounds{
        std::make_unique<SoundManager>(files.storage, players.factory())};
    std::unique_ptr<ThemeManager> themes{std::make_unique<ThemeManager>(files.storage)};
    std::unique_ptr<StatsManager> stats{std::make_unique<StatsManager>(files.storage, time)};
    std::unique_ptr<WebhookManager> webhooks{std::make_unique<WebhookManager>(files.storage, time)};

    FixtureWorld() {
        // As the application does: a completion sounds the timer's own sound.
        timers->setOnTimerCompleted(
            [this](TimerInstance* timer) { sounds->play(timer->soundConfig(), timer->id()); });
        for (QObject* manager :
             std::initializer_list<QObject*>{timers.get(), presets.get(), sounds.get(),
                                             themes.get(), stats.get(), webhooks.get()})
            QQmlEngine::setObjectOwnership(manager, QQmlEngine::CppOwnership);
    }
};

TestFixture::TestFixture(QObject* parent) : QObject(parent), world_(new FixtureWorld) {
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
}

TestFixture::~TestFixture() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TimerManager* TestFixture::timerManager() const {
    return world_->timers.get();
}
PresetManager* TestFixture::presetManager() const {
    return world_->presets.get();
}
SoundManager* TestFixture::soundManager() const {
    return world_->sounds.get();
}
ThemeManager* TestFixture::themeManager() const {
    return world_->themes.get();
}
StatsManager* TestFixture::statsManager() const {
    return world_->stats.get();
}
WebhookManager* TestFixture::webhookManager() const {
    return world_->webhooks.get();
}

void TestFixture::advance(double seconds) {
    world_->time.advance(seconds);
}

double TestFixture::now() const {
    return world_->time.now();
}

void TestFixture::shiftWallClock(double seconds) {
    world_->time.shiftWallClock(seconds);
}

void TestFixture::resetAll() {
    std::shared_ptr<FixtureWorld> old(world_.release());
    world_.reset(new FixtureWorld);
    openedUrls_.clear();
    Q_EMIT managersChanged();
    Q_EMIT openedUrlsChanged();
    QTimer::singleShot(0, this, [old]() mutable { old.reset(); });
}

QString TestFixture::fileText(const QString& name) const {
    return QString::fromUtf8(world_->files.read(name));
}

bool TestFixture::fileExists(const QString& name) const {
    return QFile::exists(world_->files.path(name));
}

QVariantList TestFixture::notifications() const {
    QVariantList list;
    for (const Notification& n : world_->notifier.posted)
        list << QVariantMap{{QStringLiteral("identifier"), n.identifier},
                            {QStringLiteral("title"), n.title},
                            {QStringLiteral("body"), n.body}};
    return list;
}

QStringList TestFixture::playedSounds() const {
    QStringList names;
    for (int i = 0; i < world_->players.count(); ++i) {
        const FakePlayback& playback = world_->players.at(i);
        if (playback.playCalls > 0) names << playback.fileName();
    }
    return names;
}

void TestFixture::openUrl(const QUrl& url) {
    openedUrls_ << url.toString();
    Q_EMIT openedUrlsChanged();
}

}  // namespace larkspur::test
