#include <QFont>
#include <QPainterPath>
#include <QQmlEngine>
#include <QRawFont>
#include <QTimer>
#include <QtQuickTest>
#include <memory>

#include "engine/SoundManager.h"
#include "engine/TimerManager.h"
#include "presets/PresetManager.h"
#include "support/FakeAudioPlayer.h"
#include "support/ManualTime.h"
#include "support/RecordingNotifier.h"
#include "support/TempStorage.h"
#include "themes/ThemeManager.h"
#include "ui/Symbols.h"
#include "ui/ViewContext.h"

void qml_register_types_Larkspurhollow();

namespace larkspur::test {

// The managers a view gets from its host, over a throwaway folder, on a clock the test drives,
// with silent players. Members go in reverse order: managers before their services.
struct FixtureWorld {
    ManualTime time;
    TempStorage files;
    RecordingNotifier notifier;
    FakePlayers players;
    TimerManager timers{files.storage, time, time, notifier};
    PresetManager presets{files.storage};
    SoundManager sounds{files.storage, players.factory()};
    ThemeManager themes{files.storage};

    // As the program does: a completion sounds the timer's own sound.
    FixtureWorld() {
        timers.setViewsVisible(true);  // the views under test are on screen
        timers.setOnTimerCompleted(
            [this](TimerInstance* timer) { sounds.play(timer->soundConfig(), timer->id()); });
    }
    ViewContext::Parts parts() {
        return {.timerManager = &timers,
                .presetManager = &presets,
                .soundManager = &sounds,
                .themeManager = &themes};
    }
};

// The TestFixture singleton of the views' tests (import LarkspurTesting); one per test file. Its
// managers are the ones the views reach through App.
class TestFixture final : public QObject {
    Q_OBJECT
    Q_PROPERTY(larkspur::TimerManager* timerManager READ timerManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::PresetManager* presetManager READ presetManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::SoundManager* soundManager READ soundManager NOTIFY managersChanged)
    Q_PROPERTY(larkspur::ThemeManager* themeManager READ themeManager NOTIFY managersChanged)

public:
    TestFixture() { context()->setParts(world_->parts()); }
    // The one App of the process, installed before any engine exists.
    static ViewContext* context() {
        static ViewContext installed(nullptr);
        return &installed;
    }

    TimerManager* timerManager() const { return &world_->timers; }
    PresetManager* presetManager() const { return &world_->presets; }
    SoundManager* soundManager() const { return &world_->sounds; }
    ThemeManager* themeManager() const { return &world_->themes; }

    // Runs the due scheduled steps and moves the clock on.
    Q_INVOKABLE void advance(double seconds) { world_->time.advance(seconds); }
    // Moves the wall clock to `at` and returns the clock's reading there.
    Q_INVOKABLE double setWallClock(const QDateTime& at) {
        world_->time.shiftWallClock(clockReadingOf(at) - world_->time.now());
        return world_->time.now();
    }
    // As it is once this pass of the event loop has written what changed.
    Q_INVOKABLE QString fileText(const QString& name) const {
        world_->time.advance(0);
        return QString::fromUtf8(world_->files.read(name));
    }
    // Fresh managers over an empty folder; the old ones go once bindings have let go of them.
    Q_INVOKABLE void resetAll() {
        std::shared_ptr<FixtureWorld> old(world_.release());
        world_ = std::make_unique<FixtureWorld>();
        context()->setParts(world_->parts());
        Q_EMIT managersChanged();
        QTimer::singleShot(0, this, [old]() mutable { old.reset(); });
    }
    Q_INVOKABLE QStringList symbolNames() const { return Symbols::names(); }
    // True when the installed icon font itself draws this one character (no fallback font).
    Q_INVOKABLE bool iconFontDraws(const QString& glyph) const {
        const QRawFont raw = QRawFont::fromFont(QFont(Symbols::fontFamily()));
        return raw.familyName() == Symbols::fontFamily() && glyph.size() == 1 &&
               raw.supportsCharacter(glyph.at(0)) &&
               !raw.pathForGlyph(raw.glyphIndexesForString(glyph).value(0)).isEmpty();
    }

Q_SIGNALS:
    void managersChanged();

private:
    std::unique_ptr<FixtureWorld> world_ = std::make_unique<FixtureWorld>();
};

}  // namespace larkspur::test

// Prepares each engine as the program prepares its own, plus the fixture.
class ViewsSetup : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void applicationAvailable() {
        qml_register_types_Larkspurhollow();
        larkspur::ViewContext::install(larkspur::test::TestFixture::context());
        if (!larkspur::Symbols::loadFont()) qWarning("The icon font is missing");
        fixtureType_ = qmlRegisterSingletonType<larkspur::test::TestFixture>(
            "LarkspurTesting", 1, 0, "TestFixture",
            [](QQmlEngine*, QJSEngine*) -> QObject* { return new larkspur::test::TestFixture; });
    }
    void qmlEngineAvailable(QQmlEngine* engine) {
        engine->addImportPath(QStringLiteral("qrc:/"));
        // Made now, so that App has the fixture's managers before any view looks.
        engine->singletonInstance<larkspur::test::TestFixture*>(fixtureType_);
    }

private:
    int fixtureType_ = -1;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_views, ViewsSetup)

#include "tst_views.moc"
