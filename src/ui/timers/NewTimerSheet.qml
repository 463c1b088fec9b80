import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// The form in which a timer is made: a preset to start from, name, emoji, mode, duration or
// end time, pre-end warning, sound and recurring schedule, then "Create".
Item {
    id: sheet

    property bool showEmojiPicker: false
    readonly property alias form: form

    signal dismissed()

    function createTimer() {
        form.createTimer()
        dismissed()
    }

    implicitWidth: 360
    implicitHeight: 520
    width: 360
    focus: true
    Keys.onEscapePressed: dismissed()

    NewTimerForm {
        id: form

        timerManager: App.timerManager
        // The mode and sound the settings chose, taken once as the sheet opens.
        Component.onCompleted: if (App.preferences) {
            mode = App.preferences.defaultTimerMode
            selectedSound = App.preferences.defaultSound
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: Style.radius.sheet
        color: Style.material
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: Style.spacing.huge
            Layout.rightMargin: Style.spacing.huge
            Layout.topMargin: 18
            Layout.bottomMargin: Style.spacing.xlarge

            Text {
                text: qsTr("New Timer")
                font.pixelSize: Style.font.title2
                font.weight: Font.DemiBold
                color: Style.primary
            }
            Item {
                Layout.fillWidth: true
            }
            SymbolButton {
                focusPolicy: Qt.NoFocus
                symbol: "xmark.circle.fill"
                symbolSize: Style.font.display3
                Accessible.name: qsTr("Close New Timer")
                onClicked: sheet.dismissed()
            }
        }
        Divider {
            Layout.fillWidth: true
            inset: Style.spacing.xxlarge
        }

        Flickable {
            id: scroller

            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentHeight: fields.implicitHeight + 2 * Style.spacing.xlarge
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            Column {
                id: fields

                x: Style.spacing.huge
                y: Style.spacing.xlarge
                width: scroller.width - 2 * Style.spacing.huge
                spacing: Style.spacing.xxlarge

                Column {
                    width: parent.width
                    spacing: Style.spacing.small
                    SectionTitle { text: qsTr("QUICK START FROM PRESET") }
                    Flickable {
                        width: parent.width
                        height: presetRow.height
                        contentWidth: presetRow.width
                        flickableDirection: Flickable.HorizontalFlick
                        boundsBehavior: Flickable.StopAtBounds
                        clip: true
                        Row {
                            id: presetRow

                            spacing: Style.spacing.small
                            Repeater {
                                model: App.presetManager ? App.presetManager.presets : []
                                delegate: PresetChip {
                                    required property var modelData
                                    preset: modelData
                                    accented: true
                                    accent: Style.accent
                                    onClicked: form.applyPreset(modelData)
                                }
                            }
                        }
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    SectionTitle { text: qsTr("Name") }
                    TextField {
                        width: parent.width
                        placeholderText: qsTr("Timer name")
                        objectName: "nameField"
                        font.pixelSize: Style.font.headline
                        text: form.name
                        onTextEdited: form.name = text
                        Accessible.name: qsTr("Timer name")
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    SectionTitle { text: qsTr("Emoji") }
                    Row {
                        spacing: Style.spacing.medium
                        TextField {
                            width: 50
                            placeholderText: qsTr("Emoji")
                            objectName: "emojiField"
                            font.pixelSize: Style.font.title
                            font.family: Style.emojiFamily
                            // Colour glyphs need Qt's own text rendering.
                            renderType: Text.QtRendering
                            text: form.emoji
                            onTextEdited: form.emoji = text
                            Accessible.name: qsTr("Emoji")
                        }
                        ActionButton {
                            id: pickButton
                            objectName: "pickButton"

                            anchors.verticalCenter: parent.verticalCenter
                            flat: true
                            text: qsTr("Pick...")
                            leftPadding: Style.spacing.medium
                            rightPadding: Style.spacing.medium
                            topPadding: Style.spacing.xsmall
                            bottomPadding: Style.spacing.xsmall
                            font.pixelSize: Style.font.subheadline
                            font.weight: Font.Medium
                            onClicked: sheet.showEmojiPicker = !sheet.showEmojiPicker
                            background: Rectangle {
                                radius: height / 2
                                color: Style.tint(Style.primary, pickButton.hovered ? Style.opacity.hover
                                                                                    : Style.opacity.control)
                            }
                            Popup {
                                y: pickButton.height + Style.spacing.xsmall
                                padding: 0
                                visible: sheet.showEmojiPicker
                                margins: Style.spacing.xsmall
                                closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
                                onClosed: sheet.showEmojiPicker = false
                                background: PopupBackground {}
                                contentItem: EmojiPickerView {
                                    objectName: "emojiPicker"
                                    selectedEmoji: form.emoji
                                    onPicked: emoji => form.emoji = emoji
                                    onDismissed: sheet.showEmojiPicker = false
                                }
                            }
                        }
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    SectionTitle { text: qsTr("Mode") }
                    SegmentedPicker {
                        accessibleName: qsTr("Mode")
                        objectName: "modePicker"
                        accent: Style.accent
                        value: form.mode
                        options: [TimerEnums.Countdown, TimerEnums.Stopwatch, TimerEnums.Loop,
                                  TimerEnums.EndTime].map(m => ({
                            label: ViewFormats.modeLabel(m), value: m,
                            symbol: ViewFormats.sheetModeSymbol(m)
                        }))
                        onActivated: v => form.mode = v
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    visible: form.showsDuration
                    objectName: "durationSection"
                    SectionTitle { text: qsTr("Duration") }
                    DurationPickerView {
                        Binding on duration { value: form.duration }
                        onStepped: value => form.duration = value
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    visible: form.showsEndTime
                    objectName: "endTimeSection"
                    SectionTitle { text: qsTr("End Time") }
                    Row {
                        spacing: Style.spacing.xsmall
                        Accessible.name: qsTr("End Time")
                        SpinBox {
                            width: 132
                            from: 0
                            to: 23
                            wrap: true
                            editable: true
                            font.pixelSize: Style.font.headline
                            value: form.endHour
                            textFromValue: v => ViewFormats.twoDigits(v)
                            onValueModified: form.endHour = value
                            Accessible.name: qsTr("End hour")
                        }
                        Text {
                            text: ":"
                            font.pixelSize: Style.font.title2
                            color: Style.secondary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        SpinBox {
                            width: 132
                            from: 0
                            to: 59
                            wrap: true
                            editable: true
                            font.pixelSize: Style.font.headline
                            value: form.endMinute
                            textFromValue: v => ViewFormats.twoDigits(v)
                            onValueModified: form.endMinute = value
                            Accessible.name: qsTr("End minute")
                        }
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    visible: form.showsPreWarning
                    objectName: "preWarningSection"
                    SectionTitle { text: qsTr("Pre-End Warning") }
                    SegmentedPicker {
                        accessibleName: qsTr("Pre-Warning")
                        accent: Style.accent
                        value: form.preWarningOption
                        options: ViewFormats.preWarningOptions().map(o => ({ label: o.label, value: o.seconds }))
                        onActivated: v => form.preWarningOption = v
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.xsmall
                    SectionTitle { text: qsTr("Completion Sound") }
                    Row {
                        spacing: Style.spacing.medium
                        ComboBox {
                            id: soundPicker
                            objectName: "soundPicker"

                            readonly property var entries: {
                                const out = []
                                const manager = App.soundManager
                                const bundled = manager ? manager.bundledSounds : []
                                const custom = manager ? manager.customSounds : []
                                for (const n of bundled)
                                    out.push({ label: ViewFormats.soundLabel(n, false), value: n, divider: false })
                                if (custom.length > 0)
                                    out.push({ label: "", value: "", divider: true })
                                for (const n of custom)
                                    out.push({ label: ViewFormats.soundLabel(n, true), value: n, divider: false })
                                return out
                            }

                            width: 160
                            font.pixelSize: Style.font.body
                            model: entries
                            textRole: "label"
                            valueRole: "value"
                            currentIndex: entries.findIndex(e => !e.divider && e.value === form.selectedSound)
                            displayText: currentIndex >= 0 ? entries[currentIndex].label : form.selectedSound
                            onActivated: index => form.selectedSound = entries[index].value
                            Accessible.name: qsTr("Sound")
                            delegate: ItemDelegate {
                                required property var modelData
                                required property int index
                                width: soundPicker.width
                                enabled: !modelData.divider
                                height: modelData.divider ? 9 : implicitHeight
                                text: modelData.label
                                font.pixelSize: Style.font.body
                                highlighted: soundPicker.highlightedIndex === index
                                Rectangle {
                                    visible: parent.modelData.divider
                                    anchors.centerIn: parent
                                    width: parent.width - Style.spacing.xlarge
                                    height: 1
                                    color: Style.tint(Style.primary, Style.opacity.outline)
                                }
                            }
                        }
                        SymbolButton {
                            anchors.verticalCenter: parent.verticalCenter
                            padding: Style.spacing.xsmall
                            symbol: "speaker.wave.2.fill"
                            symbolColor: Style.accent
                            Accessible.name: qsTr("Preview Sound")
                            onClicked: if (App.soundManager) App.soundManager.playPreview(form.selectedSound)
                        }
                    }
                    SegmentedPicker {
                        accessibleName: qsTr("Alert Mode")
                        accent: Style.accent
                        value: form.alertMode
                        options: [
                            { label: qsTr("Once"), value: TimerEnums.OneShot },
                            { label: qsTr("Repeat 3x"), value: TimerEnums.Repeated },
                            { label: qsTr("Until Dismissed"), value: TimerEnums.LoopUntilDismissed }
                        ]
                        onActivated: v => form.alertMode = v
                    }
                }

                RowLayout {
                    // The loud end stays a little short of the right edge.
                    width: parent.width - Style.spacing.medium
                    spacing: Style.spacing.small
                    Symbol {
                        name: "speaker.fill"
                        size: Style.font.caption
                        color: Style.secondary
                    }
                    Slider {
                        Layout.fillWidth: true
                        from: 0
                        to: 1
                        value: form.volume
                        onMoved: form.volume = value
                        Accessible.name: qsTr("Volume")
                    }
                    Symbol {
                        name: "speaker.wave.3.fill"
                        size: Style.font.caption
                        color: Style.secondary
                    }
                }

                Column {
                    width: parent.width
                    spacing: Style.spacing.medium
                    visible: form.showsRecurring
                    objectName: "recurringSection"
                    Divider { width: parent.width }
                    ToggleSwitch {
                        text: qsTr("Recurring")
                        font.pixelSize: Style.font.body
                        font.weight: Font.Medium
                        checked: form.isRecurring
                        onToggled: form.isRecurring = checked
                        padding: 0
                    }
                    Column {
                        visible: form.isRecurring
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.leftMargin: Style.spacing.xsmall
                        spacing: Style.spacing.small
                        Item {
                            width: parent.width
                            height: intervalLabel.height
                            Text {
                                id: intervalLabel

                                text: qsTr("Interval")
                                font.pixelSize: Style.font.subheadline
                                color: Style.secondary
                            }
                            Text {
                                anchors.right: parent.right
                                text: ViewFormats.intervalText(form.recurringInterval)
                                font.pixelSize: Style.font.subheadline
                                font.weight: Font.Medium
                                font.family: Style.monoFamily
                                color: Style.accent
                            }
                        }
                        Slider {
                            width: parent.width
                            from: 60
                            to: 7200
                            stepSize: 60
                            snapMode: Slider.SnapAlways
                            value: form.recurringInterval
                            onMoved: form.recurringInterval = value
                            Accessible.name: qsTr("Interval")
                        }
                        ToggleSwitch {
                            text: qsTr("Unlimited runs")
                            font.pixelSize: Style.font.subheadline
                            checked: form.recurringUnlimited
                            onToggled: form.recurringUnlimited = checked
                            padding: 0
                        }
                        Item {
                            visible: !form.recurringUnlimited
                            width: parent.width
                            height: runs.height
                            Text {
                                text: qsTr("Max runs")
                                font.pixelSize: Style.font.subheadline
                                color: Style.secondary
                                anchors.verticalCenter: parent.verticalCenter
                            }
                            SpinBox {
                                id: runs

                                anchors.right: parent.right
                                from: 1
                                to: 100
                                font.pixelSize: Style.font.subheadline
                                value: form.recurringMaxRuns
                                onValueModified: form.recurringMaxRuns = value
                                Accessible.name: qsTr("Max runs")
                            }
                        }
                    }
                }
            }
        }
        Divider {
            Layout.fillWidth: true
            inset: Style.spacing.xxlarge
        }
        // Anchored rather than laid out: a layout would move the button to a whole pixel.
        Item {
            Layout.fillWidth: true
            implicitHeight: createButton.height + 2 * 14

            ToggleSwitch {
                x: Style.spacing.huge
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Start Now")
                objectName: "startNowSwitch"
                font.pixelSize: Style.font.body
                padding: 0
                checked: form.startNow
                onToggled: form.startNow = checked
            }
            ActionButton {
                id: createButton
                objectName: "createButton"

                anchors.right: parent.right
                anchors.rightMargin: Style.spacing.huge
                anchors.verticalCenter: parent.verticalCenter

                text: qsTr("Create")
                leftPadding: Style.spacing.huge
                rightPadding: Style.spacing.huge
                topPadding: Style.spacing.small
                bottomPadding: Style.spacing.small
                font.pixelSize: Style.font.headline
                font.weight: Font.DemiBold
                onClicked: sheet.createTimer()
                contentItem: Text {
                    text: createButton.text
                    font: createButton.font
                    color: Style.accentForeground
                }
                background: Rectangle {
                    radius: height / 2
                    color: Style.accent
                    opacity: createButton.down ? Style.opacity.down : 1.0
                }
            }
        }
    }
}
