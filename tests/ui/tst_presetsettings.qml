import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// The presets tab's row lengths and what its editor saves.
Item {
    id: top

    width: 420; height: 600
    Component { id: viewComponent; PresetManagerView { anchors.fill: parent } }

    TestCase {
        name: "PresetSettings"
        when: windowShown

        function init() { TestFixture.resetAll(); wait(0) }
        function presets() { return App.presetManager.presets }
        function test_rowDurations() {
            const view = createTemporaryObject(viewComponent, top)
            for (const d of [5400, 90, 3600, 0, 59.9])
                App.presetManager.add(App.presetManager.makePreset("Tea", d))
            const row = presets().length - 5
            const texts = Array.from(findChild(view, "presetList").contentItem.children)
                .filter(r => r.formattedDuration !== undefined && r.index >= row)
                .sort((a, b) => a.index - b.index).map(r => r.formattedDuration)
            compare(texts, ["1h 30m", "1m 30s", "1h 0m", "0 min", "0m 59s"])
        }
        function test_savePreset() {
            const view = createTemporaryObject(viewComponent, top)
            const pomodoro = presets()[3]
            view.edit(pomodoro); view.editName = "Tomato"; view.editDuration = NaN; view.savePreset()
            const edited = presets()[3]
            compare([edited.id, edited.sortOrder, edited.name, edited.duration, edited.emoji],
                    [pomodoro.id, 3, "Tomato", 60, pomodoro.emoji])
            view.add(); view.editDuration = 0.5; view.savePreset()
            const added = presets()[5]
            compare([added.name, added.duration, added.emoji, added.sortOrder, view.isAddingNew], ["Timer", 60, "", 5, false])
            view.add(); view.savePreset()
            compare(presets()[6].duration, 300)
        }
    }
}
