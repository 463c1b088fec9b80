import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Larkspurhollow

// Builds or edits one sequence on a working copy (`draft`), which reaches the list only
// through "Save Sequence".
Item {
    id: builder

    required property SequenceDraft draft

    signal saveRequested()
    signal cancelRequested()

    implicitHeight: column.implicitHeight + 2 * 24

    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 24
        spacing: Style.spacing.xxlarge

        RowLayout {
            Text {
                text: qsTr("Sequence Builder")
                font.pixelSize: Style.font.title3
                font.bold: true
                color: Style.text
            }
            Item { Layout.fillWidth: true }
            ActionButton {
                flat: true
                text: qsTr("Cancel")
                Accessible.name: qsTr("Cancel Sequence")
                contentItem: Text {
                    text: parent.text
                    font.pixelSize: Style.font.caption
                    font.weight: Font.Medium
                    color: Style.tint(Style.text, 0.6)
                }
                background: null
                onClicked: builder.cancelRequested()
            }
        }
        ColumnLayout {
            spacing: Style.spacing.xsmall
            Text {
                text: qsTr("Sequence Name")
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.6)
            }
            TextField {
                Layout.fillWidth: true
                objectName: "sequenceName"
                text: builder.draft.name
                onTextEdited: builder.draft.name = text
                placeholderText: qsTr("My Sequence")
                padding: Style.spacing.large
                color: Style.text
                Accessible.name: qsTr("Sequence Name")
                background: Rectangle {
                    radius: Style.radius.medium + 2
                    color: Style.tint(Style.text, Style.opacity.rest)
                }
            }
        }
        RowLayout {
            Layout.leftMargin: Style.spacing.xsmall
            Layout.rightMargin: Style.spacing.xsmall
            Symbol { name: "list.number"; size: Style.font.caption; color: Style.tint(Style.text, 0.6) }
            Text {
                text: qsTr("%1 steps").arg(builder.draft.stepCount)
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.6)
            }
            Item { Layout.fillWidth: true }
            Symbol { name: "clock"; size: Style.font.caption; color: Style.accent }
            Text {
                text: ViewFormats.sequenceTotalText(builder.draft.totalDuration)
                font.pixelSize: Style.font.caption
                color: Style.accent
            }
        }
        ColumnLayout {
            visible: builder.draft.stepCount === 0
            Layout.fillWidth: true
            Layout.minimumHeight: 80
            spacing: Style.spacing.medium
            Symbol {
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignHCenter
                name: "list.bullet.rectangle"
                size: 26
                color: Style.tint(Style.text, Style.opacity.outline)
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("No steps yet")
                font.pixelSize: Style.font.caption
                color: Style.tint(Style.text, 0.4)
            }
        }
        ListView {
            id: steps

            visible: builder.draft.stepCount > 0
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(250, Math.max(100, contentHeight))
            clip: true
            spacing: Style.spacing.xsmall
            model: builder.draft.steps
            delegate: StepRow {
                id: stepRow

                required property var modelData
                width: steps.width
                z: drag.active ? 1 : 0
                // Dragged up or down, a step goes where its middle is let go.
                DragHandler {
                    id: drag
                    xAxis.enabled: false
                    onActiveChanged: {
                        if (active)
                            return
                        const slot = Math.floor((stepRow.y + stepRow.height / 2) / (stepRow.height + steps.spacing))
                        const to = Math.max(0, Math.min(builder.draft.stepCount - 1, slot))
                        if (to !== stepRow.index)
                            builder.draft.moveStep(stepRow.index, to > stepRow.index ? to + 1 : to)
                        else
                            stepRow.y = stepRow.index * (stepRow.height + steps.spacing)
                    }
                }
                step: modelData
                count: builder.draft.stepCount
                isEditing: builder.draft.editingStepId === modelData.id
                onEditRequested: builder.draft.editStep(modelData.id)
                onDeleteRequested: builder.draft.removeStep(modelData.id)
                onMoveRequested: to => builder.draft.moveStep(index, to)
            }
        }
        Rectangle {
            visible: builder.draft.editingStepId !== ""
            Layout.fillWidth: true
            implicitHeight: editor.implicitHeight + 2 * Style.spacing.xlarge
            radius: Style.radius.medium + 2
            color: Style.tint(Style.text, Style.opacity.row)

            ColumnLayout {
                id: editor

                anchors.fill: parent
                anchors.margins: Style.spacing.xlarge
                spacing: Style.spacing.large
                Text {
                    text: qsTr("Edit Step")
                    font.pixelSize: Style.font.caption
                    font.weight: Font.DemiBold
                    color: Style.text
                }
                TextField {
                    Layout.fillWidth: true
                    text: builder.draft.stepName
                    onTextEdited: builder.draft.stepName = text
                    placeholderText: qsTr("Step Name")
                    padding: Style.spacing.medium
                    color: Style.text
                    Accessible.name: qsTr("Step Name")
                    background: Rectangle {
                        radius: Style.radius.medium
                        color: Style.tint(Style.text, Style.opacity.rest)
                    }
                }
                RowLayout {
                    Text {
                        text: qsTr("Duration")
                        font.pixelSize: Style.font.caption
                        color: Style.tint(Style.text, 0.6)
                    }
                    Item { Layout.fillWidth: true }
                    Text {
                        text: ViewFormats.stepDurationText(builder.draft.stepDuration)
                        font.pixelSize: Style.font.caption
                        font.weight: Font.Medium
                        color: Style.accent
                    }
                }
                Slider {
                    Layout.fillWidth: true
                    from: 60
                    to: 3600
                    stepSize: 60
                    snapMode: Slider.SnapAlways
                    value: builder.draft.stepDuration
                    onMoved: builder.draft.stepDuration = value
                    Accessible.name: qsTr("Step Duration")
                }
                RowLayout {
                    spacing: Style.spacing.large
                    Repeater {
                        model: [{ word: qsTr("Update"), accent: true, act: () => builder.draft.updateStep() },
                                { word: qsTr("Cancel"), accent: false, act: () => builder.draft.cancelStepEdit() }]
                        ActionButton {
                            id: editorButton
                            required property var modelData
                            Layout.fillWidth: true
                            Layout.preferredWidth: 1
                            text: modelData.word
                            Accessible.name: modelData.accent ? qsTr("Update Step") : qsTr("Cancel Step Edit")
                            topPadding: Style.spacing.small
                            bottomPadding: Style.spacing.small
                            contentItem: Text {
                                text: editorButton.text
                                horizontalAlignment: Text.AlignHCenter
                                font.pixelSize: Style.font.caption
                                font.weight: Font.Medium
                                color: editorButton.modelData.accent ? Style.accentForeground
                                                                     : Style.tint(Style.text, 0.6)
                            }
                            background: Rectangle {
                                radius: Style.radius.medium
                                color: editorButton.modelData.accent
                                       ? Style.accent : Style.tint(Style.text, Style.opacity.control)
                            }
                            onClicked: modelData.act()
                        }
                    }
                }
            }
        }
        ActionButton {
            Layout.fillWidth: true
            text: qsTr("Add Step")
            topPadding: Style.spacing.large
            bottomPadding: Style.spacing.large
            contentItem: Row {
                spacing: Style.spacing.small
                Item { width: (parent.width - addIcon.width - addText.width - parent.spacing) / 2; height: 1 }
                Symbol { id: addIcon; name: "plus.circle.fill"; size: Style.font.subheadline; color: Style.accent }
                Text {
                    id: addText
                    text: qsTr("Add Step")
                    font.pixelSize: Style.font.subheadline
                    font.weight: Font.Medium
                    color: Style.accent
                }
            }
            background: Rectangle {
                radius: Style.radius.medium + 2
                color: Style.tint(Style.accent, Style.opacity.command)
            }
            onClicked: builder.draft.addStep()
        }
        ActionButton {
            Layout.fillWidth: true
            objectName: "saveSequence"
            text: qsTr("Save Sequence")
            enabled: builder.draft.canSave
            topPadding: Style.spacing.large
            bottomPadding: Style.spacing.large
            contentItem: Text {
                text: parent.text
                horizontalAlignment: Text.AlignHCenter
                font.pixelSize: Style.font.headline
                font.weight: Font.DemiBold
                color: Style.accentForeground
            }
            background: Rectangle {
                radius: Style.radius.popup
                color: parent.enabled ? Style.accent : Style.tint(Style.text, Style.opacity.border)
            }
            onClicked: builder.saveRequested()
        }
    }
}
