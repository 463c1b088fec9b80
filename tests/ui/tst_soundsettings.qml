import QtQuick
import QtTest
import Larkspurhollow
import LarkspurTesting

// The Sounds tab's volume reading and the default-sound picker's items.
Item {
    id: top

    width: 520
    height: 700

    Component { id: viewComponent; SoundSettingsView { anchors.fill: parent } }

    TestCase {
        name: "SoundSettingsView"

        function cleanup() { TestFixture.soundManager.globalVolume = 0.8 }

        function test_volumeLabel_data() {
            return [[0, "0%", "speaker.slash.fill"], [0.35, "35%", "speaker.wave.2.fill"],
                    [0.8, "80%", "speaker.wave.3.fill"], [1, "100%", "speaker.wave.3.fill"]]
                .map(r => ({ tag: String(r[0]), volume: r[0], label: r[1], icon: r[2] }))
        }
        function test_volumeLabel(data) {
            const view = createTemporaryObject(viewComponent, top)
            TestFixture.soundManager.globalVolume = data.volume
            compare(findChild(view, "volumeLabel").text, data.label)
            compare(view.volumeIcon, data.icon)
            // The other way, as a screen reader sets it.
            findChild(view, "volumeSlider").value = 1 - data.volume
            fuzzyCompare(TestFixture.soundManager.globalVolume, 1 - data.volume, 1e-6)
        }

        function test_pickerItems() {
            const view = createTemporaryObject(viewComponent, top)
            const picker = findChild(view, "defaultSoundPicker")
            compare(picker.count, 6)
            compare(picker.currentText, "Chime")
            compare(view.pickerItemsFor(["rain"]).slice(4).map(i => [i.label, i.value]),
                    [["Alert", "alert"], ["Gong", "gong"], ["rain (custom)", "rain"]])
        }
    }
}
