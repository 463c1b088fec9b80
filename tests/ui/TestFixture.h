#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <memory>

#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "focus/StatsManager.h"
#include "integrations/WebhookManager.h"
#include "presets/PresetManager.h"
#include "themes/ThemeManager.h"

namespace larkspur::test {

struct FixtureWorld;

// The managers a view receives from its host, made as the program makes them but on a clock the
// test drives, a throwaway data folder, a notifier that records and sound players that stay
// silent. Each QML engine (one per test file) gets its own.
class TestFixture final : public QObject {
    Q_OBJECT
    Q_PROPERTY(larkspur::TimerManager* timerManager READ timerManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::PresetManager* presetManager READ presetManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::SoundManager* soundManager READ soundManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::ThemeManager* themeManager READ themeManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::StatsManager* statsManager READ statsManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::WebhookManager* webhookManager READ webhookManager NOTIFY managersChanged)
    // Addresses given to Qt.openUrlExternally (and QDesktopServices) for http and https; no
    // browser is started.
    Q_PROPERTY(QStringList openedUrls READ openedUrls NOTIFY openedUrlsChanged)

public:
    explicit TestFixture(QObject* parent = nullptr);
    ~TestFixture() override;

    TimerManager* timerManager() const;
    PresetManager* presetManager() const;
    SoundManager* soundManager() const;
    ThemeManager* themeManager() const;
    StatsManager* statsManager() const;
    WebhookManager* webhookManager() const;
    const QStringList& openedUrls() const { return openedUrls_; }

    // Runs the due scheduled steps and moves the clock on by `seconds`.
    Q_INVOKABLE void advance(double seconds);
    // The wall clock, in seconds since 2001-01-01 00:00:00 UTC.
    Q_INVOKABLE double now() const;
    // Moves the wall clock alone, as a change of the system time would.
    Q_INVOKABLE void shiftWallClock(double seconds);
    // Fresh managers over a fresh, empty data folder; the old ones go once control returns to
    // the event loop, so bindings to them can let go first.
    Q_INVOKABLE void resetAll();
    // The text of a file in the data folder, or an empty text when there is none.
    Q_INVOKABLE QString fileText(const QString& name) const;
    Q_INVOKABLE bool fileExists(const QString& name) const;
    // The notifications posted so far, oldest first: [{identifier, title, body}, …].
    Q_INVOKABLE QVariantList notifications() const;
    // File names of the sounds played so far ("chime.aiff"), oldest first.
    Q_INVOKABLE QStringList playedSounds() const;

Q_SIGNALS:
    void managersChanged();
    void openedUrlsChanged();

private Q_SLOTS:
    void openUrl(const QUrl& url);

private:
    std::unique_ptr<FixtureWorld> world_;
    QStringList openedUrls_;
};

}  // namespace larkspur::test
