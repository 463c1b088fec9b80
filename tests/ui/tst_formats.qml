import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// What the views compute without a window: texts, duration steps, the new-timer form, the timer
// list model and the symbol table.
TestCase {
    id: testCase

    name: "Formats"

    Component { id: formComponent; NewTimerForm { timerManager: App.timerManager } }
    Component { id: modelComponent; TimerListModel {} }
    Component { id: spyComponent; SignalSpy {} }

    function init() { TestFixture.resetAll() }
    function stored() { return JSON.parse(TestFixture.fileText("active-timers.json")) }
    function makeForm(fields) { return createTemporaryObject(formComponent, testCase, fields) }

    // Rows of a rule: [arguments..., expected].
    function test_formats_data() {
        const rows = []
        const rule = (name, f, cases) => cases.forEach(c => rows.push(
            { tag: name + " " + c.slice(0, -1).join(" "), f: f, args: c.slice(0, -1), expected: c[c.length - 1] }))
        const E = TimerEnums
        rule("title", n => [ViewFormats.activeTimersTitle(n), ViewFormats.activeCountText(n)],
             [[0, ["No Active Timers", ""]], [1, ["1 Active Timer", "1 active"]], [2, ["2 Active Timers", "2 active"]]])
        rule("sheet symbol", ViewFormats.sheetModeSymbol, [[E.Loop, "repeat"], [E.EndTime, "clock.badge.checkmark"]])
        rule("two digits", ViewFormats.twoDigits, [[0, "00"], [5, "05"], [-5, "-05"]])
        rule("units", d => [ViewFormats.hoursOf(d), ViewFormats.minutesOf(d), ViewFormats.secondsOf(d)],
             [[3725.9, [1, 2, 5]], [-3725.9, [-1, -2, -5]], [NaN, [0, 0, 0]], [Infinity, [0, 0, 0]]])
        // One step of the duration picker stays within 0 … 23:59:59.
        rule("step", ViewFormats.adjustDuration,
             [[0, 0, 0, -1, 0], [90.5, 0, 0, 1, 91.5], [3570, 0, 1, 0, 3630], [3725, -1, 0, 0, 125], [86398, 0, 0, 1, 86399],
              [86399, 0, 0, 1, 86399], [NaN, 0, 1, 0, 60], [-Infinity, 0, 0, 1, 0], [10, 2147483647, 0, 0, 86399]])
        rule("sound", ViewFormats.soundLabel, [["chime", false, "Chime"], ["alarm clip", true, "alarm clip (custom)"], ["", false, ""]])
        rule("interval", ViewFormats.intervalText, [[60, "1 min"], [119.9, "1 min"], [59.9, "0 min"], [NaN, "0 min"]])
        // A sequence's total, a step's row and chip; lengths from a hand-edited file stay sane.
        rule("sequence", t => [ViewFormats.sequenceTotalText(t), ViewFormats.stepDurationText(t), ViewFormats.stepChipText(t)],
             [[0, ["0 min", "0 min", "0m"]], [75, ["1 min", "1 min", "1m"]], [1500, ["25 min", "25 min", "25m"]],
              [3600, ["1h 0m", "60 min", "60m"]], [5400, ["1h 30m", "90 min", "90m"]], [-300, ["0 min", "0 min", "0m"]],
              [NaN, ["0 min", "0 min", "0m"]], [1e300, ["2500000000000h 0m", "150000000000000 min", "150000000000000m"]]])
        // The sections shown: duration, end time, pre-warning, recurring.
        const sections = m => { const f = makeForm({ mode: m }); return [f.showsDuration, f.showsEndTime, f.showsPreWarning, f.showsRecurring] }
        rule("sections", sections, [[E.Countdown, [true, false, true, true]], [E.Stopwatch, [false, false, false, false]],
                                    [E.Loop, [true, false, true, false]], [E.EndTime, [false, true, true, true]]])
        return rows
    }
    function test_formats(data) { compare(data.f(...data.args), data.expected) }

    // Every name in the table is drawn by the icon font itself; unknown names give nothing.
    function test_symbolsAreInTheFont() {
        const names = TestFixture.symbolNames()
        verify(names.length >= 20)
        for (const name of names)
            verify(TestFixture.iconFontDraws(Symbols.glyph(name)), name)
        compare(["", "play", "Timer"].map(n => Symbols.glyph(n)), ["", "", ""])
        verify(!TestFixture.iconFontDraws("A"))
    }

    // The picker sets hours and minutes and keeps the seconds of the opening; a time of day that
    // has passed, this very minute included, means that time tomorrow.
    function test_endTimeOfDay_data() {
        return [[11, 0, 3600], [11, 30, 5400], [10, 1, 60], [10, 0, 86400], [9, 59, 86340]]
            .map(r => ({ tag: r[0] + ":" + r[1], hour: r[0], minute: r[1], total: r[2] }))
    }
    function test_endTimeOfDay(data) {
        // 2026-03-10 10:00:45.25 local time (the test runs in UTC).
        const ten = TestFixture.setWallClock(new Date(2026, 2, 10, 10, 0, 45, 250))
        const form = makeForm({ mode: TimerEnums.EndTime })
        compare([form.endHour, form.endMinute], [11, 0])  // an hour ahead
        form.endHour = data.hour
        form.endMinute = data.minute
        compare(form.createTimer().totalDuration, data.total)
        compare(stored()[0].endDate, ten + data.total)
    }

    function test_fieldsBecomeTheTimer_data() {
        return [
            { tag: "defaults", fields: {}, expect: { name: "Timer", totalDuration: 300, emoji: "\u23F1",
                    mode: "countdown", state: "running", recurringConfig: undefined,
                    soundConfig: { soundName: "chime", volume: 0.8, alertMode: "oneShot" } } },
            { tag: "not started", fields: { startNow: false, emoji: "", name: "" }, expect: { state: "idle", emoji: undefined, name: "" } },
            { tag: "sound", fields: { selectedSound: "gong", volume: 0.25, alertMode: TimerEnums.LoopUntilDismissed,
                    preWarningOption: 60 }, expect: { soundConfig: { soundName: "gong", volume: 0.25,
                    alertMode: "loopUntilDismissed", preWarningSeconds: 60 } } },
            { tag: "five runs", fields: { isRecurring: true, recurringMaxRuns: 5, recurringInterval: 600 },
                expect: { recurringConfig: { interval: 600, maxRuns: 5, runsCompleted: 0 } } },
            { tag: "unlimited", fields: { isRecurring: true, recurringUnlimited: true, recurringInterval: 600 },
                expect: { recurringConfig: { interval: 600, runsCompleted: 0 } } }
        ]
    }
    function test_fieldsBecomeTheTimer(data) {
        verify(makeForm(data.fields).createTimer())
        for (const key in data.expect)
            compare(stored()[0][key], data.expect[key], key)
    }

    // From 0.5, 3 runs and 12:30: [property, value, kept, changes announced].
    function test_inputIsKeptInRange_data() {
        return [["volume", 3, 1, 1], ["volume", -1, 0, 1], ["volume", NaN, 0.5, 0], ["volume", 0.5, 0.5, 0],
                ["recurringMaxRuns", 0, 1, 1], ["recurringMaxRuns", 101, 100, 1], ["recurringMaxRuns", 100, 100, 1],
                ["recurringMaxRuns", 3, 3, 0], ["endHour", 24, 23, 1], ["endHour", -1, 0, 1], ["endHour", 12, 12, 0],
                ["endMinute", 60, 59, 1], ["endMinute", -5, 0, 1]].map(r => ({ tag: r.slice(0, 2).join(" "), row: r }))
    }
    function test_inputIsKeptInRange(data) {
        const [property, value, kept, changes] = data.row
        const form = makeForm({ volume: 0.5, recurringMaxRuns: 3, endHour: 12, endMinute: 30 })
        const spy = createTemporaryObject(spyComponent, testCase, { target: form, signalName: "formChanged" })
        form[property] = value
        compare([form[property], spy.count], [kept, changes])
    }

    function test_presetFillsTheForm() {
        const form = makeForm({ mode: TimerEnums.Stopwatch, selectedSound: "bell", preWarningOption: 30 })
        form.applyPreset(TestFixture.presetManager.makePreset("Tea", 180, ""))
        compare([form.name, form.duration, form.mode, form.emoji, form.selectedSound, form.preWarningOption],
                ["Tea", 180, TimerEnums.Countdown, "\u23F1", "bell", 30])
        compare(makeForm({ timerManager: null }).createTimer(), null)
    }

    // Single insertions and removals, so that cards of other timers keep their state.
    function test_modelReportsSingleRows() {
        const manager = TestFixture.timerManager
        const add = name => App.createTimerFromPreset(TestFixture.presetManager.makePreset(name, 1))
        const a = add("A")
        const model = createTemporaryObject(modelComponent, testCase, { timerManager: manager })
        const log = []
        model.rowsInserted.connect((parent, first, last) => log.push("+" + first + last))
        model.rowsRemoved.connect((parent, first, last) => log.push("-" + first + last))
        model.modelReset.connect(() => log.push("reset"))
        model.countChanged.connect(() => log.push(model.count))
        const b = add("B")
        const c = add("C")
        manager.removeTimer(b.id)
        c.start()
        TestFixture.advance(2)
        compare(c.state, TimerEnums.Completed)
        compare(log, ["+11", 2, "+22", 3, "-11", 2])
        const at = row => model.data(model.index(row, 0), Qt.UserRole + 1)
        compare([at(0), at(1), at(2)], [a, c, undefined])
        model.timerManager = null
        compare(log.slice(6), ["reset", 0])
    }
}
