import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

Item {
    id: top

    width: 400
    height: 400
    visible: true

    Component {
        id: cardComponent

        TimerCardView {
            timerManager: TestFixture.timerManager
            themeManager: TestFixture.themeManager
            soundManager: TestFixture.soundManager
            width: 280
        }
    }
    Component {
        id: formComponent

        NewTimerForm {
            timerManager: TestFixture.timerManager
            startNow: false
        }
    }

    TestCase {
        name: "TimerCard"
        when: windowShown

        function init() {
            TestFixture.resetAll()
            wait(0)
        }

        function makeTimer(fields) {
            const form = createTemporaryObject(formComponent, top)
            for (const key in fields)
                form[key] = fields[key]
            return form.createTimer()
        }
        function makeCard(timer, y) {
            const card = createTemporaryObject(cardComponent, top, { timer: timer, y: y || 0 })
            verify(card)
            return card
        }
        function button(card, prefix) {
            const found = findChild(card, prefix + "-" + card.timer.id)
            verify(found, prefix)
            return found
        }

        function test_primaryButtonFollowsTheState() {
            const timer = makeTimer({ name: "Tea", duration: 2 })
            const card = makeCard(timer)
            const play = button(card, "playpause")
            compare(play.symbol, "play.fill")
            compare(play.Accessible.name, "Start Tea")
            mouseClick(play)
            compare(timer.state, TimerEnums.Running)
            compare(play.symbol, "pause.fill")
            compare(play.Accessible.name, "Pause Tea")
            mouseClick(play)
            compare(timer.state, TimerEnums.Paused)
            compare(play.symbol, "play.fill")
            mouseClick(play)
            compare(timer.state, TimerEnums.Running)
            TestFixture.advance(3)
            compare(timer.state, TimerEnums.Completed)
            compare(play.symbol, "arrow.counterclockwise")
            // A completed timer starts a new run from zero.
            mouseClick(play)
            compare(timer.state, TimerEnums.Running)
            compare(timer.elapsedTime, 0)
        }

        function test_modeRow_data() {
            return [
                { tag: "countdown", mode: TimerEnums.Countdown, label: "Countdown", symbol: "timer" },
                { tag: "stopwatch", mode: TimerEnums.Stopwatch, label: "Stopwatch", symbol: "stopwatch" },
                { tag: "loop", mode: TimerEnums.Loop, label: "Loop", symbol: "repeat" },
                { tag: "end time", mode: TimerEnums.EndTime, label: "End Time", symbol: "clock" }
            ]
        }
        function test_modeRow(data) {
            const card = makeCard(makeTimer({ mode: data.mode }))
            compare(ViewFormats.modeLabel(card.timer.mode), data.label)
            compare(ViewFormats.modeSymbol(card.timer.mode), data.symbol)
        }

        function test_editIsSavedAtOnce_data() {
            return [
                { tag: "idle", start: false, emoji: "\u{1F375}", duration: 360 },
                { tag: "running", start: true, emoji: "\u{1F375}", duration: 300 },
                { tag: "empty emoji", start: false, emoji: "", duration: 360 }
            ]
        }
        function test_editIsSavedAtOnce(data) {
            const timer = makeTimer({ name: "Tea", duration: 300 })
            if (data.start)
                timer.start()
            const card = makeCard(timer)
            mouseClick(button(card, "edit"))
            verify(card.showingEdit)
            compare(card.editName, "Tea")
            compare(card.editDuration, 300)
            compare(card.editEmoji, "\u23F1")
            const name = findChild(card, "editName")
            name.selectAll()
            name.forceActiveFocus()
            keyClick(Qt.Key_Backspace)
            for (const c of "Green")
                keyClick(c)
            compare(card.editName, "Green")
            card.editEmoji = data.emoji
            // One minute up in the picker.
            card.editDuration = ViewFormats.adjustDuration(card.editDuration, 0, 1, 0)
            mouseClick(findChild(card, "editSave"))
            verify(!card.showingEdit)
            compare(timer.name, "Green")
            compare(timer.emoji, data.emoji)
            compare(timer.hasEmoji, true)
            compare(timer.totalDuration, data.duration)
            // On disk without waiting for another timer to come or go.
            const stored = JSON.parse(TestFixture.fileText("active-timers.json"))[0]
            compare(stored.name, "Green")
            compare(stored.emoji, data.emoji)
            compare(stored.totalDuration, data.duration)
            compare(card.ringEmoji, data.emoji)
        }

        function test_cancelChangesNothing() {
            const timer = makeTimer({ name: "Tea" })
            const card = makeCard(timer)
            mouseClick(button(card, "edit"))
            card.editName = "Other"
            mouseClick(findChild(card, "editCancel"))
            verify(!card.showingEdit)
            compare(timer.name, "Tea")
        }

        function test_hoverCarriesTheTimerId() {
            const first = makeCard(makeTimer({ name: "A" }), 0)
            const second = makeCard(makeTimer({ name: "B" }), 100)
            const reset = button(first, "reset")
            mouseMove(reset, reset.width / 2, reset.height / 2)
            tryCompare(first, "hoveredButton", "reset-" + first.timer.id)
            compare(second.hoveredButton, "")
            verify(reset.lit)
            verify(!button(second, "reset").lit)
            mouseMove(top, 390, 390)
            tryCompare(first, "hoveredButton", "")
        }

        function test_pulseFollowsCompletion() {
            const already = makeTimer({ name: "Done", duration: 1 })
            already.start()
            TestFixture.advance(2)
            compare(already.state, TimerEnums.Completed)
            // A card made for a timer that is completed already does not pulse.
            const still = makeCard(already, 0)
            verify(!still.isAnimating)
            const timer = makeTimer({ name: "Soon", duration: 1 })
            const card = makeCard(timer, 100)
            timer.start()
            TestFixture.advance(2)
            verify(card.isAnimating)
            verify(card.pulsing)
            mouseClick(button(card, "reset"))
            verify(!card.isAnimating)
            tryCompare(card, "scale", 1.0)
        }

        function test_ownColourWins() {
            const preset = TestFixture.presetManager.makePreset("Red", 60)
            preset.color = "#FF0000"
            const card = makeCard(TestFixture.timerManager.createTimerFromPreset(preset))
            compare(card.timerColor, "#ff0000")
            const plain = makeCard(makeTimer({}), 100)
            compare(plain.timerColor, TestFixture.themeManager.accentColor)
        }

        function test_cardActionsStopTheEndlessSound_data() {
            return [{ tag: "primary", prefix: "playpause" }, { tag: "reset", prefix: "reset" },
                    { tag: "remove", prefix: "remove" }]
        }
        function test_cardActionsStopTheEndlessSound(data) {
            const timer = makeTimer({ name: "Alarm", duration: 1,
                                      alertMode: TimerEnums.LoopUntilDismissed })
            const other = makeTimer({ name: "Other", duration: 60 })
            const card = makeCard(timer)
            const otherCard = makeCard(other, 100)
            timer.start()
            TestFixture.advance(2)
            const id = timer.id
            compare(TestFixture.soundManager.soundingTimerId, id)
            // Another card's buttons leave this sound alone.
            mouseClick(button(otherCard, "reset"))
            compare(TestFixture.soundManager.soundingTimerId, id)
            mouseClick(button(card, data.prefix))
            compare(TestFixture.soundManager.soundingTimerId, "")
            if (data.prefix === "remove")
                compare(TestFixture.timerManager.timers.length, 1)
        }
    }
}
