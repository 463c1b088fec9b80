import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

Item {
    id: top

    width: 420
    height: 640
    visible: true

    Component {
        id: sheetComponent

        NewTimerSheet {
            timerManager: TestFixture.timerManager
            presetManager: TestFixture.presetManager
            soundManager: TestFixture.soundManager
            themeManager: TestFixture.themeManager
        }
    }
    Component {
        id: spyComponent

        SignalSpy {}
    }

    TestCase {
        name: "NewTimerSheet"
        when: windowShown

        function init() {
            TestFixture.resetAll()
            wait(0)
        }
        function make() {
            const sheet = createTemporaryObject(sheetComponent, top)
            verify(sheet)
            return sheet
        }
        function sections(sheet) {
            return ["durationSection", "endTimeSection", "preWarningSection", "recurringSection"]
                .map(name => findChild(sheet, name).visible)
        }

        function test_createAtOnce() {
            const sheet = make()
            const dismissed = createTemporaryObject(spyComponent, top, { target: sheet, signalName: "dismissed" })
            mouseClick(findChild(sheet, "createButton"))
            compare(dismissed.count, 1)
            compare(TestFixture.timerManager.timers.length, 1)
            const t = TestFixture.timerManager.timers[0]
            compare(t.name, "Timer")
            compare(t.emoji, "\u23F1")
            compare(t.totalDuration, 300)
            compare(t.mode, TimerEnums.Countdown)
            compare(t.state, TimerEnums.Running)
            const stored = JSON.parse(TestFixture.fileText("active-timers.json"))[0]
            compare(stored.soundConfig.soundName, "chime")
            compare(stored.soundConfig.volume, 0.8)
            compare(stored.soundConfig.alertMode, "oneShot")
            verify(stored.soundConfig.preWarningSeconds === undefined)
            verify(stored.recurringConfig === undefined)
        }

        function test_sectionsPerMode_data() {
            return [
                { tag: "countdown", index: 0, shown: [true, false, true, true] },
                { tag: "stopwatch", index: 1, shown: [false, false, false, false] },
                { tag: "loop", index: 2, shown: [true, false, true, false] },
                { tag: "end time", index: 3, shown: [false, true, true, true] }
            ]
        }
        function test_sectionsPerMode(data) {
            const sheet = make()
            const picker = findChild(sheet, "modePicker")
            const segment = picker.children[data.index]
            compare(segment.Accessible.name, ["Countdown", "Stopwatch", "Loop", "End Time"][data.index])
            mouseClick(segment)
            compare(sections(sheet), data.shown)
        }

        function test_typedNameAndClearedEmoji() {
            const sheet = make()
            const name = findChild(sheet, "nameField")
            name.selectAll()
            name.forceActiveFocus()
            for (const c of "Tea")
                keyClick(c)
            const emoji = findChild(sheet, "emojiField")
            emoji.selectAll()
            emoji.forceActiveFocus()
            keyClick(Qt.Key_Backspace)
            compare(sheet.form.emoji, "")
            mouseClick(findChild(sheet, "startNowSwitch"))
            mouseClick(findChild(sheet, "createButton"))
            const t = TestFixture.timerManager.timers[0]
            compare(t.name, "Tea")
            compare(t.hasEmoji, false)
            compare(t.state, TimerEnums.Idle)
        }

        function test_emojiPicker() {
            const sheet = make()
            mouseClick(findChild(sheet, "pickButton"))
            verify(sheet.showEmojiPicker)
            const picker = findChild(sheet, "emojiPicker")
            tryVerify(() => picker.visible)
            picker.selectedEmoji = "\u{1F345}"
            picker.dismissed()
            compare(sheet.form.emoji, "\u{1F345}")
            verify(!sheet.showEmojiPicker)
        }

        function test_presetChipFillsTheForm() {
            const sheet = make()
            sheet.form.selectedSound = "gong"
            sheet.form.mode = TimerEnums.Stopwatch
            const preset = TestFixture.presetManager.presets[0]
            sheet.form.applyPreset(preset)
            compare(sheet.form.name, preset.name)
            compare(sheet.form.duration, preset.duration)
            compare(sheet.form.mode, TimerEnums.Countdown)
            if (!preset.hasSoundConfig)
                compare(sheet.form.selectedSound, "gong")
        }

        function test_soundChoices() {
            const sheet = make()
            const picker = findChild(sheet, "soundPicker")
            const labels = picker.entries.map(e => e.label)
            compare(labels, ["Chime", "Bell", "Beep", "Soft", "Alert", "Gong"])
            compare(picker.displayText, "Chime")
            picker.currentIndex = 5
            picker.activated(5)
            compare(sheet.form.selectedSound, "gong")
        }

        function test_closeButtonDismisses() {
            const sheet = make()
            const dismissed = createTemporaryObject(spyComponent, top, { target: sheet, signalName: "dismissed" })
            sheet.forceActiveFocus()
            keyClick(Qt.Key_Escape)
            compare(dismissed.count, 1)
            compare(TestFixture.timerManager.timers.length, 0)
        }
    }
}
