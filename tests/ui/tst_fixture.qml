import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// The fixture the views' tests stand on: real managers on a driven clock and a throwaway folder.
TestCase {
    id: testCase

    name: "Fixture"

    SignalSpy {
        id: managersSpy

        target: TestFixture
        signalName: "managersChanged"
    }

    function init() {
        TestFixture.resetAll()
        managersSpy.clear()
    }

    function test_managersArePresent() {
        verify(TestFixture.timerManager)
        verify(TestFixture.presetManager)
        verify(TestFixture.soundManager)
        verify(TestFixture.themeManager)
        verify(TestFixture.statsManager)
        verify(TestFixture.webhookManager)
        compare(TestFixture.timerManager.timers.length, 0)
        verify(TestFixture.presetManager.count > 0)
    }

    function test_timeIsDrivenAndCompletionSounds() {
        const preset = TestFixture.presetManager.makePreset("Tea", 5, "\uD83C\uDF75")
        const timer = TestFixture.timerManager.createTimerFromPreset(preset)
        verify(TestFixture.fileText("active-timers.json").indexOf("Tea") >= 0)
        const start = TestFixture.now()
        timer.start()
        TestFixture.advance(4)
        compare(timer.state, TimerEnums.Running)
        TestFixture.advance(1.2)
        compare(timer.state, TimerEnums.Completed)
        fuzzyCompare(TestFixture.now() - start, 5.2, 1e-9)
        compare(TestFixture.playedSounds().length, 1)
        const posted = TestFixture.notifications()
        compare(posted.length, 1)
        verify(posted[0].body.indexOf("Tea") >= 0, posted[0].body)
        compare(posted[0].identifier, timer.id)
    }

    function test_resetGivesFreshManagersAndFolder() {
        const oldTimers = TestFixture.timerManager
        const preset = TestFixture.presetManager.makePreset("Walk", 60, "")
        TestFixture.presetManager.add(preset)
        TestFixture.timerManager.createTimerFromPreset(preset)
        verify(TestFixture.fileExists("active-timers.json"))
        const presetsBefore = TestFixture.presetManager.count

        TestFixture.resetAll()
        compare(managersSpy.count, 1)
        verify(TestFixture.timerManager !== oldTimers)
        compare(TestFixture.timerManager.timers.length, 0)
        compare(TestFixture.presetManager.count, presetsBefore - 1)
        verify(!TestFixture.fileExists("active-timers.json"))
        compare(TestFixture.fileText("active-timers.json"), "")
        compare(TestFixture.playedSounds(), [])
        compare(TestFixture.notifications(), [])
        compare(TestFixture.openedUrls, [])
    }

    function test_savedFilesCanBeRead() {
        TestFixture.statsManager.dailyGoalMinutes = 90
        compare(TestFixture.fileText("daily-goal.json"), "90")
    }

    function test_linksAreCaught() {
        Qt.openUrlExternally("https://example.org/a")
        compare(TestFixture.openedUrls, ["https://example.org/a"])
    }
}
