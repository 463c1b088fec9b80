import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The presets in their order, to add, edit, delete and reorder, with one inline editor for a new
// or an existing preset. Every change goes straight to the preset manager, which saves it.
Item {
    id: view

    // A copy of the preset being edited, or null.
    property var editingPreset: null
    property bool isAddingNew: false
    property string editName
    property real editDuration: 300
    property string editEmoji
    readonly property var presets: App.presetManager ? App.presetManager.presets : []

    function resetEditor() {
        editName = ""
        editDuration = 300
        editEmoji = ""
    }
    function add() {
        resetEditor()
        isAddingNew = true
        editingPreset = null
    }
    function edit(preset) {
        editingPreset = preset
        isAddingNew = false
        editName = preset.name
        editDuration = preset.duration
        editEmoji = preset.emoji
    }
    function cancel() {
        isAddingNew = false
        editingPreset = null
    }
    function savePreset() {
        const name = editName !== "" ? editName : qsTr("Timer")
        // A zero, negative or broken length would make a timer that ends at once; take the
        // slider's shortest instead.
        const duration = isFinite(editDuration) && editDuration >= 1 ? editDuration : 60
        if (App.presetManager) {
            if (editingPreset) {
                // Colour, sound, id and position stay as they are.
                const preset = editingPreset
                preset.name = name
                preset.duration = duration
                preset.emoji = editEmoji
                App.presetManager.update(preset)
            } else {
                App.presetManager.add(App.presetManager.makePreset(name, duration, editEmoji))
            }
        }
        cancel()
    }
    // `to` counts positions before the move, as the manager takes it.
    function move(from, to) {
        if (App.presetManager) App.presetManager.reorder([from], to)
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: Style.spacing.xxlarge

        RowLayout {
            Layout.fillWidth: true
            Text {
                text: qsTr("Presets")
                font.pixelSize: Style.font.title3
                font.bold: true
                color: Style.text
            }
            Item { Layout.fillWidth: true }
            ActionButton {
                id: addButton
                flat: true
                padding: 0
                text: qsTr("Add Preset")
                onClicked: view.add()
                contentItem: Row {
                    spacing: Style.spacing.xsmall
                    Symbol {
                        name: "plus.circle.fill"
                        size: Style.font.caption
                        color: Style.accent
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: addButton.text
                        font.pixelSize: Style.font.caption
                        font.weight: Font.Medium
                        color: Style.accent
                    }
                }
                background: Item {}
            }
        }
        ColumnLayout {
            objectName: "presetsEmpty"
            visible: view.presets.length === 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: Style.spacing.medium
            Item { Layout.fillHeight: true }
            Symbol {
                Layout.fillWidth: true
                name: "clock.arrow.circlepath"
                size: Style.font.display
                color: Style.tint(Style.text, 0.2)
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("No presets")
                font.pixelSize: Style.font.subheadline
                color: Style.tint(Style.text, 0.4)
            }
            Item { Layout.fillHeight: true }
        }
        ListView {
            id: list

            objectName: "presetList"
            visible: view.presets.length > 0
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: Style.spacing.xsmall
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
            model: view.presets
            delegate: PresetRow {
                id: presetRow

                required property var modelData
                width: list.width
                z: drag.active ? 1 : 0
                preset: modelData
                count: view.presets.length
                isEditing: view.editingPreset !== null && view.editingPreset.id === modelData.id
                onEditRequested: view.edit(modelData)
                onDeleteRequested: App.presetManager.remove(modelData.id)
                onMoveRequested: to => view.move(index, to)
                // Dragged up or down, a preset goes where its middle is let go.
                DragHandler {
                    id: drag
                    xAxis.enabled: false
                    onActiveChanged: {
                        if (active)
                            return
                        const slot = Math.floor((presetRow.y + presetRow.height / 2) / (presetRow.height + list.spacing))
                        const to = Math.max(0, Math.min(presetRow.count - 1, slot))
                        if (to !== presetRow.index)
                            view.move(presetRow.index, to > presetRow.index ? to + 1 : to)
                        else
                            presetRow.y = presetRow.index * (presetRow.height + list.spacing)
                    }
                }
            }
        }
        PresetEditor {
            objectName: "presetEditor"
            visible: view.isAddingNew || view.editingPreset !== null
            Layout.fillWidth: true
            title: view.isAddingNew ? qsTr("New Preset") : qsTr("Edit Preset")
            name: view.editName
            duration: view.editDuration
            emoji: view.editEmoji
            onNameEdited: text => view.editName = text
            onDurationEdited: seconds => view.editDuration = seconds
            onEmojiEdited: text => view.editEmoji = text
            onSaved: view.savePreset()
            onCancelled: view.cancel()
        }
    }
}
