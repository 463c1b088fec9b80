import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The global volume, the default sound of new timers, and the library of built-in and imported
// sounds with preview, import and delete.
Flickable {
    id: view

    readonly property var sounds: App.soundManager
    readonly property var builtIns: ["chime", "bell", "beep", "soft", "alert", "gong"]
    readonly property var customs: sounds ? sounds.customSounds : []
    readonly property string selectedDefault: App.preferences ? App.preferences.defaultSound
                                                              : "chime"
    // Only for as long as the preview is marked; a longer sound plays on unmarked.
    property string playingSound: ""
    readonly property real volume: sounds ? sounds.globalVolume : 0
    // The manager keeps a 32-bit value; in doubles 0.35 would read 34%.
    readonly property int volumePercent: Math.trunc(Math.fround(Math.fround(volume) * 100))
    readonly property string volumeIcon: volume === 0 ? "speaker.slash.fill"
                                        : volume < 0.33 ? "speaker.wave.1.fill"
                                        : volume < 0.66 ? "speaker.wave.2.fill"
                                        : "speaker.wave.3.fill"
    readonly property var pickerItems: pickerItemsFor(customs)
    readonly property bool shown: visible && Window.visibility !== Window.Hidden

    function capitalised(name) { return name.charAt(0).toUpperCase() + name.slice(1) }

    function pickerItemsFor(customNames) {
        return builtIns.map(n => ({ label: capitalised(n), value: n })).concat(
            customNames.map(n => ({ label: qsTr("%1 (custom)").arg(n), value: n })))
    }

    function setDefault(name) { if (App.preferences) App.preferences.defaultSound = name }

    function togglePreview(name) {
        if (!sounds) return
        if (playingSound === name) {
            stopPreview()
            return
        }
        sounds.playPreview(name)
        playingSound = name
        previewMark.restart()
    }

    // A timer's alarm that is sounding is not this view's to end.
    function stopPreview() {
        if (sounds && sounds.soundingTimerId === "") sounds.stop()
        playingSound = ""
        previewMark.stop()
    }

    function deleteSound(name) {
        if (name === playingSound) stopPreview()
        sounds.removeCustomSound(name)
        // New timers would otherwise ask for a sound that is gone.
        if (name === selectedDefault) setDefault("chime")
    }

    contentHeight: column.implicitHeight + 2 * 24
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

    onShownChanged: if (!shown && playingSound !== "") stopPreview()
    Component.onDestruction: if (playingSound !== "") stopPreview()

    Timer {
        id: previewMark
        interval: 2000
        onTriggered: view.playingSound = ""
    }

    ColumnLayout {
        id: column

        x: 24
        y: 24
        width: view.width - 2 * 24
        spacing: Style.spacing.huge

        Text {
            text: qsTr("Sounds")
            font.pixelSize: Style.font.title3
            font.bold: true
            color: Style.text
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: volumeColumn.implicitHeight + 2 * 14
            radius: Style.radius.popup
            color: Style.tint(Style.text, Style.opacity.row)

            ColumnLayout {
                id: volumeColumn

                anchors.fill: parent
                anchors.margins: 14
                spacing: Style.spacing.medium

                RowLayout {
                    Layout.fillWidth: true
                    spacing: Style.spacing.medium
                    Symbol {
                        name: view.volumeIcon
                        size: Style.font.body
                        color: Style.accent
                    }
                    Text {
                        text: qsTr("Global Volume")
                        font.pixelSize: Style.font.subheadline
                        font.weight: Font.Medium
                        color: Style.text
                    }
                    Item { Layout.fillWidth: true }
                    Text {
                        objectName: "volumeLabel"
                        //: The global volume as a whole percentage.
                        text: qsTr("%1%").arg(view.volumePercent)
                        font.pixelSize: Style.font.caption
                        font.weight: Font.Medium
                        color: Style.accent
                    }
                }
                Slider {
                    id: volumeSlider

                    Layout.fillWidth: true
                    from: 0
                    to: 1
                    stepSize: 0.05
                    snapMode: Slider.SnapAlways
                    value: view.volume
                    objectName: "volumeSlider"
                    Accessible.name: qsTr("Global Volume")
                    // Not onMoved: assistive technology sets the value without moving the handle.
                    onValueChanged: if (view.sounds) view.sounds.globalVolume = value

                    background: Rectangle {
                        x: volumeSlider.leftPadding
                        y: volumeSlider.topPadding + (volumeSlider.availableHeight - height) / 2
                        width: volumeSlider.availableWidth
                        height: 4
                        radius: 2
                        color: Style.tint(Style.text, Style.opacity.hover)
                        Rectangle {
                            width: volumeSlider.visualPosition * parent.width
                            height: parent.height
                            radius: 2
                            color: Style.accent
                        }
                    }
                    handle: Rectangle {
                        x: volumeSlider.leftPadding
                           + volumeSlider.visualPosition * (volumeSlider.availableWidth - width)
                        y: volumeSlider.topPadding + (volumeSlider.availableHeight - height) / 2
                        implicitWidth: 16
                        implicitHeight: 16
                        radius: width / 2
                        color: volumeSlider.pressed ? Qt.darker(Style.accent, 1.1) : "white"
                        border.color: Style.accent
                        border.width: 1
                    }
                }
            }
        }

        ColumnLayout {
            spacing: Style.spacing.medium
            Text {
                text: qsTr("Default Sound")
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            ComboBox {
                id: picker

                objectName: "defaultSoundPicker"
                Layout.preferredWidth: 180
                model: view.pickerItems
                textRole: "label"
                valueRole: "value"
                // A default whose sound was deleted elsewhere shows no item as chosen.
                currentIndex: view.pickerItems.findIndex(item => item.value === view.selectedDefault)
                displayText: currentIndex < 0 ? "" : currentText
                font.pixelSize: Style.font.subheadline
                Accessible.name: qsTr("Default Sound")
                onActivated: index => view.setDefault(view.pickerItems[index].value)

                delegate: ItemDelegate {
                    id: item

                    required property var modelData
                    required property int index

                    width: ListView.view ? ListView.view.width : implicitWidth
                    topPadding: Style.spacing.small + (separated ? Style.spacing.small : 0)
                    text: modelData.label
                    font.pixelSize: Style.font.subheadline
                    highlighted: picker.highlightedIndex === index
                    // A line between the built-in sounds and the imported ones.
                    readonly property bool separated: index === view.builtIns.length
                    contentItem: Text {
                        text: item.text
                        font: item.font
                        color: item.modelData.value === view.selectedDefault ? Style.accent
                                                                              : Style.text
                        verticalAlignment: Text.AlignVCenter
                    }
                    Divider {
                        visible: item.separated
                        width: parent.width
                        y: Style.spacing.xxsmall
                    }
                }
                indicator: Symbol {
                    x: picker.width - width - picker.rightPadding
                    y: (picker.height - height) / 2
                    name: "chevron.down"
                    size: Style.font.body
                    color: Style.accent
                }
                contentItem: Text {
                    leftPadding: Style.spacing.medium
                    rightPadding: picker.indicator.width + Style.spacing.small
                    text: picker.displayText
                    font: picker.font
                    color: Style.text
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
                background: Rectangle {
                    implicitHeight: 26
                    radius: Style.radius.medium
                    color: Style.tint(Style.text, picker.hovered ? Style.opacity.command
                                                                 : Style.opacity.rest)
                    border.color: Style.tint(Style.accent, picker.visualFocus ? 1 : 0.3)
                }
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: Style.spacing.large

            Text {
                text: qsTr("Sound Library")
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            Repeater {
                model: view.builtIns
                SoundRow {
                    required property string modelData
                    Layout.fillWidth: true
                    name: modelData
                    isPlaying: view.playingSound === modelData
                    isDefault: view.selectedDefault === modelData
                    onPreviewRequested: view.togglePreview(modelData)
                    onSetDefaultRequested: view.setDefault(modelData)
                }
            }
            Divider {
                Layout.fillWidth: true
                visible: view.customs.length > 0
            }
            Text {
                visible: view.customs.length > 0
                text: qsTr("Custom Sounds")
                font.pixelSize: Style.font.subheadline
                font.weight: Font.Medium
                color: Style.text
            }
            Repeater {
                model: view.customs
                SoundRow {
                    required property string modelData
                    Layout.fillWidth: true
                    name: modelData
                    isCustom: true
                    isPlaying: view.playingSound === modelData
                    isDefault: view.selectedDefault === modelData
                    onPreviewRequested: view.togglePreview(modelData)
                    onSetDefaultRequested: view.setDefault(modelData)
                    onDeleteRequested: view.deleteSound(modelData)
                }
            }
            ActionButton {
                id: importButton

                Layout.fillWidth: true
                flat: true
                topPadding: Style.spacing.large
                bottomPadding: Style.spacing.large
                text: qsTr("Import Custom Sound")
                onClicked: App.dialogs.chooseSoundFile(qsTr("Import Custom Sound"), view, url => {
                    if (view.sounds) view.sounds.importCustomSoundFrom(url)
                })
                contentItem: Item {
                    implicitHeight: importRow.implicitHeight
                    Row {
                        id: importRow
                        anchors.centerIn: parent
                        spacing: Style.spacing.xsmall
                        Symbol {
                            name: "plus.circle.fill"
                            size: Style.font.caption
                            color: Style.accent
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            text: importButton.text
                            font.pixelSize: Style.font.caption
                            font.weight: Font.Medium
                            color: Style.accent
                        }
                    }
                }
                background: Rectangle {
                    radius: Style.radius.medium + 2
                    color: Style.tint(Style.accent, importButton.hovered ? Style.opacity.hover
                                                                         : Style.opacity.command)
                }
            }
        }
    }
}
