import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

Item {
    id: top

    width: 400
    height: 600
    visible: true

    Component {
        id: panelComponent

        FloatingPanelView {
            width: 400
            height: 400
            timerManager: TestFixture.timerManager
            presetManager: TestFixture.presetManager
            soundManager: TestFixture.soundManager
            themeManager: TestFixture.themeManager
            statsManager: TestFixture.statsManager
        }
    }
    Component {
        id: spyComponent

        SignalSpy {}
    }

    TestCase {
        name: "FloatingPanel"
        when: windowShown

        function init() {
            TestFixture.resetAll()
            wait(0)
        }
        function make() {
            const panel = createTemporaryObject(panelComponent, top)
            verify(panel)
            return panel
        }
        function add(name) {
            return TestFixture.timerManager.createTimerFromPreset(
                TestFixture.presetManager.makePreset(name, 60))
        }

        function test_emptyState() {
            const panel = make()
            verify(findChild(panel, "emptyState").visible)
            verify(!findChild(panel, "activeCount").visible)
        }

        function test_activeCount_data() {
            return [{ tag: "one paused", paused: 1, idle: 0, text: "1 active" },
                    { tag: "idle only", paused: 0, idle: 2, text: "" },
                    { tag: "two paused one idle", paused: 2, idle: 1, text: "2 active" }]
        }
        function test_activeCount(data) {
            for (let i = 0; i < data.paused; ++i) {
                const t = add("P" + i)
                t.start()
                t.pause()
            }
            for (let i = 0; i < data.idle; ++i)
                add("I" + i)
            const panel = make()
            const count = findChild(panel, "activeCount")
            compare(count.visible, data.text !== "")
            if (data.text !== "")
                compare(count.text, data.text)
            verify(!findChild(panel, "emptyState").visible)
            tryCompare(findChild(panel, "timerList"), "count", data.paused + data.idle)
        }

        function test_tabsSelect() {
            const panel = make()
            compare(panel.selectedTab, "Timers")
            const tabs = ["Timers", "Focus", "Sequences", "Stats"]
            for (let i = 0; i < tabs.length; ++i) {
                const button = findChild(panel, "tab" + tabs[i])
                compare(button.Accessible.name, tabs[i])
                mouseClick(button)
                compare(panel.selectedTab, tabs[i])
            }
            // The other tabs' pages are empty until their views arrive.
            tryVerify(() => !findChild(panel, "emptyState"))
        }

        function test_closeAndHover() {
            const panel = make()
            const spy = createTemporaryObject(spyComponent, top, { target: panel, signalName: "closeRequested" })
            const close = findChild(panel, "closeButton")
            mouseMove(close, 5, 5)
            tryCompare(panel, "hoveredButton", "close")
            mouseClick(close)
            compare(spy.count, 1)
            const add = findChild(panel, "addButton")
            compare(add.opacity, 0.7)
            mouseMove(add, 5, 5)
            tryCompare(panel, "hoveredButton", "add")
            compare(add.opacity, 1.0)
            mouseClick(add)
            verify(panel.showingNewTimer)
        }

        function test_removedCardGoes() {
            const a = add("A")
            add("B")
            const panel = make()
            const list = findChild(panel, "timerList")
            tryCompare(list, "count", 2)
            TestFixture.timerManager.removeTimer(a.id)
            tryCompare(list, "count", 1)
        }
    }
}
