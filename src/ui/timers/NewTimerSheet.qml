import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// The form in which a timer is made: a preset to start from, name, emoji, mode, duration or
// end time, pre-end warning, sound and recurring schedule, then "Create".
Item {
    id: sheet

    property bool showEmojiPicker: false
    readonly property alias form: form
    readonly property color accent: App.themeManager ? App.themeManager.accentColor : "steelblue"

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

    }

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Style.material
    }

    Item {
        id: header

        width: parent.width
        height: 18 + title.height + 12
        Text {
            id: title

            x: 20
            y: 18
            text: "New Timer"
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Style.primary
        }
        Button {
            Accessible.onPressAction: clicked()
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: title.verticalCenter
            flat: true
            padding: 0
            focusPolicy: Qt.NoFocus
            Accessible.name: "Close New Timer"
            onClicked: sheet.dismissed()
            contentItem: Symbol {
                name: "xmark.circle.fill"
                size: 18
                color: Style.secondary
            }
            background: null
        }
    }
    Divider {
        id: topDivider

        anchors.top: header.bottom
        width: parent.width
        inset: 16
    }

    Flickable {
        id: scroller

        anchors.top: topDivider.bottom
        anchors.bottom: bottomDivider.top
        width: parent.width
        clip: true
        contentHeight: fields.implicitHeight + 24
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        Column {
            id: fields

            x: 20
            y: 12
            width: scroller.width - 40
            spacing: 16

            Column {
                width: parent.width
                spacing: 6
                SectionTitle { text: "QUICK START FROM PRESET" }
                Flickable {
                    width: parent.width
                    height: presetRow.height
                    contentWidth: presetRow.width
                    flickableDirection: Flickable.HorizontalFlick
                    boundsBehavior: Flickable.StopAtBounds
                    clip: true
                    Row {
                        id: presetRow

                        spacing: 6
                        Repeater {
                            model: App.presetManager ? App.presetManager.presets : []
                            delegate: PresetChip {
                                required property var modelData
                                preset: modelData
                                accented: true
                                accent: sheet.accent
                                onClicked: form.applyPreset(modelData)
                            }
                        }
                    }
                }
            }

            Column {
                width: parent.width
                spacing: 4
                SectionTitle { text: "Name" }
                TextField {
                    width: parent.width
                    placeholderText: "Timer name"
                    objectName: "nameField"
                    font.pixelSize: 13
                    text: form.name
                    onTextEdited: form.name = text
                    Accessible.name: "Timer name"
                }
            }

            Column {
                width: parent.width
                spacing: 4
                SectionTitle { text: "Emoji" }
                Row {
                    spacing: 8
                    TextField {
                        width: 50
                        placeholderText: "Emoji"
                        objectName: "emojiField"
                        font.pixelSize: 16
                        font.family: Style.emojiFamily
                        // Colour glyphs need Qt's own text rendering.
                        renderType: Text.QtRendering
                        text: form.emoji
                        onTextEdited: form.emoji = text
                        Accessible.name: "Emoji"
                    }
                    Button {
                        id: pickButton
                        Accessible.onPressAction: clicked()
                        objectName: "pickButton"

                        anchors.verticalCenter: parent.verticalCenter
                        flat: true
                        text: "Pick..."
                        leftPadding: 8
                        rightPadding: 8
                        topPadding: 4
                        bottomPadding: 4
                        font.pixelSize: 11
                        font.weight: Font.Medium
                        onClicked: sheet.showEmojiPicker = !sheet.showEmojiPicker
                        background: Rectangle {
                            radius: height / 2
                            color: Style.tint(Style.primary, pickButton.hovered ? 0.1 : 0.06)
                        }
                        Popup {
                            y: pickButton.height + 4
                            padding: 0
                            visible: sheet.showEmojiPicker
                            margins: 4
                            closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
                            onClosed: sheet.showEmojiPicker = false
                            background: Rectangle {
                                radius: 10
                                color: Style.palette.window
                                border.width: 0.5
                                border.color: Style.tint(Style.primary, 0.2)
                            }
                            contentItem: EmojiPickerView {
                                objectName: "emojiPicker"
                                selectedEmoji: form.emoji
                                onSelectedEmojiChanged: form.emoji = selectedEmoji
                                onDismissed: sheet.showEmojiPicker = false
                            }
                        }
                    }
                }
            }

            Column {
                width: parent.width
                spacing: 4
                SectionTitle { text: "Mode" }
                SegmentedPicker {
                    accessibleName: "Mode"
                    objectName: "modePicker"
                    accent: sheet.accent
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
                spacing: 4
                visible: form.showsDuration
                objectName: "durationSection"
                SectionTitle { text: "Duration" }
                DurationPickerView {
                    Binding on duration { value: form.duration }
                    onStepped: value => form.duration = value
                }
            }

            Column {
                width: parent.width
                spacing: 4
                visible: form.showsEndTime
                objectName: "endTimeSection"
                SectionTitle { text: "End Time" }
                Row {
                    spacing: 4
                    Accessible.name: "End Time"
                    SpinBox {
                        width: 132
                        from: 0
                        to: 23
                        wrap: true
                        editable: true
                        font.pixelSize: 13
                        value: form.endHour
                        textFromValue: v => ViewFormats.twoDigits(v)
                        onValueModified: form.endHour = value
                        Accessible.name: "End hour"
                    }
                    Text {
                        text: ":"
                        font.pixelSize: 15
                        color: Style.secondary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    SpinBox {
                        width: 132
                        from: 0
                        to: 59
                        wrap: true
                        editable: true
                        font.pixelSize: 13
                        value: form.endMinute
                        textFromValue: v => ViewFormats.twoDigits(v)
                        onValueModified: form.endMinute = value
                        Accessible.name: "End minute"
                    }
                }
            }

            Column {
                width: parent.width
                spacing: 4
                visible: form.showsPreWarning
                objectName: "preWarningSection"
                SectionTitle { text: "Pre-End Warning" }
                SegmentedPicker {
                    accessibleName: "Pre-Warning"
                    accent: sheet.accent
                    value: form.preWarningOption
                    options: ViewFormats.preWarningOptions().map(o => ({ label: o.label, value: o.seconds }))
                    onActivated: v => form.preWarningOption = v
                }
            }

            Column {
                width: parent.width
                spacing: 4
                SectionTitle { text: "Completion Sound" }
                Row {
                    spacing: 8
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
                        font.pixelSize: 12
                        model: entries
                        textRole: "label"
                        valueRole: "value"
                        currentIndex: entries.findIndex(e => !e.divider && e.value === form.selectedSound)
                        displayText: currentIndex >= 0 ? entries[currentIndex].label : form.selectedSound
                        onActivated: index => form.selectedSound = entries[index].value
                        Accessible.name: "Sound"
                        delegate: ItemDelegate {
                            required property var modelData
                            required property int index
                            width: soundPicker.width
                            enabled: !modelData.divider
                            height: modelData.divider ? 9 : implicitHeight
                            text: modelData.label
                            font.pixelSize: 12
                            highlighted: soundPicker.highlightedIndex === index
                            Rectangle {
                                visible: parent.modelData.divider
                                anchors.centerIn: parent
                                width: parent.width - 12
                                height: 1
                                color: Style.tint(Style.primary, 0.15)
                            }
                        }
                    }
                    Button {
                        Accessible.onPressAction: clicked()
                        anchors.verticalCenter: parent.verticalCenter
                        flat: true
                        padding: 4
                        Accessible.name: "Preview Sound"
                        onClicked: if (App.soundManager) App.soundManager.playPreview(form.selectedSound)
                        contentItem: Symbol {
                            name: "speaker.wave.2.fill"
                            size: 12
                            color: sheet.accent
                        }
                        background: null
                    }
                }
                SegmentedPicker {
                    accessibleName: "Alert Mode"
                    accent: sheet.accent
                    value: form.alertMode
                    options: [
                        { label: "Once", value: TimerEnums.OneShot },
                        { label: "Repeat 3x", value: TimerEnums.Repeated },
                        { label: "Until Dismissed", value: TimerEnums.LoopUntilDismissed }
                    ]
                    onActivated: v => form.alertMode = v
                }
            }

            Row {
                width: parent.width
                spacing: 6
                Symbol {
                    name: "speaker.fill"
                    size: 10
                    color: Style.secondary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Slider {
                    width: parent.width - 40
                    from: 0
                    to: 1
                    value: form.volume
                    onMoved: form.volume = value
                    Accessible.name: "Volume"
                }
                Symbol {
                    name: "speaker.wave.3.fill"
                    size: 10
                    color: Style.secondary
                    anchors.verticalCenter: parent.verticalCenter
                }
            }

            Column {
                width: parent.width
                spacing: 8
                visible: form.showsRecurring
                objectName: "recurringSection"
                Divider { width: parent.width }
                Switch {
                    Accessible.onToggleAction: { toggle(); toggled() }
                    Accessible.onPressAction: { toggle(); toggled() }
                    text: "Recurring"
                    font.pixelSize: 12
                    font.weight: Font.Medium
                    checked: form.isRecurring
                    onToggled: form.isRecurring = checked
                    padding: 0
                }
                Column {
                    visible: form.isRecurring
                    width: parent.width - 4
                    x: 4
                    spacing: 6
                    Item {
                        width: parent.width
                        height: intervalLabel.height
                        Text {
                            id: intervalLabel

                            text: "Interval"
                            font.pixelSize: 11
                            color: Style.secondary
                        }
                        Text {
                            anchors.right: parent.right
                            text: ViewFormats.intervalText(form.recurringInterval)
                            font.pixelSize: 11
                            font.weight: Font.Medium
                            font.family: Style.monoFamily
                            color: sheet.accent
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
                        Accessible.name: "Interval"
                    }
                    Switch {
                        Accessible.onToggleAction: { toggle(); toggled() }
                        Accessible.onPressAction: { toggle(); toggled() }
                        text: "Unlimited runs"
                        font.pixelSize: 11
                        checked: form.recurringUnlimited
                        onToggled: form.recurringUnlimited = checked
                        padding: 0
                    }
                    Item {
                        visible: !form.recurringUnlimited
                        width: parent.width
                        height: runs.height
                        Text {
                            text: "Max runs"
                            font.pixelSize: 11
                            color: Style.secondary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        SpinBox {
                            id: runs

                            anchors.right: parent.right
                            from: 1
                            to: 100
                            font.pixelSize: 11
                            value: form.recurringMaxRuns
                            onValueModified: form.recurringMaxRuns = value
                            Accessible.name: "Max runs"
                        }
                    }
                }
            }
        }
    }

    Divider {
        id: bottomDivider

        anchors.bottom: footer.top
        width: parent.width
        inset: 16
    }
    Item {
        id: footer

        anchors.bottom: parent.bottom
        width: parent.width
        height: createButton.height + 28
        Switch {
            Accessible.onToggleAction: { toggle(); toggled() }
            Accessible.onPressAction: { toggle(); toggled() }
            x: 20
            anchors.verticalCenter: parent.verticalCenter
            text: "Start Now"
            objectName: "startNowSwitch"
            font.pixelSize: 12
            padding: 0
            checked: form.startNow
            onToggled: form.startNow = checked
        }
        Button {
            id: createButton
            Accessible.onPressAction: clicked()
            objectName: "createButton"

            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            text: "Create"
            leftPadding: 20
            rightPadding: 20
            topPadding: 6
            bottomPadding: 6
            font.pixelSize: 13
            font.weight: Font.DemiBold
            onClicked: sheet.createTimer()
            contentItem: Text {
                text: createButton.text
                font: createButton.font
                color: "white"
            }
            background: Rectangle {
                radius: height / 2
                color: sheet.accent
                opacity: createButton.down ? 0.8 : 1.0
            }
        }
    }
}
