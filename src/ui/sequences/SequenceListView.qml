import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// The panel's Sequences tab: the stored sequences, read afresh each time the tab is shown, and
// the builder below them while one is being made or edited.
Item {
    id: root

    readonly property SequenceList list: App.sequenceList
    property bool showBuilder: false

    function openBuilder(id) {
        if (!root.list)
            return
        root.list.openDraft(workingCopy, id)
        root.showBuilder = true
    }

    Component.onCompleted: if (root.list) root.list.reload()

    // The theme's ground, meeting the panel's rounded lower corners.
    Rectangle {
        anchors.fill: parent
        radius: Style.radius.window
        color: Style.background
        Rectangle {
            width: parent.width
            height: parent.radius
            color: parent.color
        }
    }

    SequenceDraft { id: workingCopy }

    Flickable {
        id: flick

        anchors.fill: parent
        contentHeight: column.implicitHeight + 2 * 24
        // The builder opens below the list, likely out of sight: bring its top into view as it
        // grows in.
        onContentHeightChanged: if (root.showBuilder)
            contentY = Math.max(0, Math.min(builderLoader.y + 24, contentHeight - height))
        clip: true
        boundsBehavior: Flickable.StopAtBounds

        ColumnLayout {
            id: column

            x: 24
            y: 24
            width: parent.width - 2 * 24
            spacing: Style.spacing.xxlarge

            RowLayout {
                Text {
                    text: qsTr("Sequences")
                    font.pixelSize: Style.font.title2
                    font.bold: true
                    color: Style.text
                }
                Item { Layout.fillWidth: true }
                ActionButton {
                    flat: true
                    text: qsTr("New")
                    Accessible.name: qsTr("New Sequence")
                    contentItem: Row {
                        spacing: Style.spacing.xsmall
                        Symbol { name: "plus.circle.fill"; size: Style.font.caption; color: Style.accent }
                        Text {
                            text: qsTr("New")
                            font.pixelSize: Style.font.caption
                            font.weight: Font.Medium
                            color: Style.accent
                        }
                    }
                    background: null
                    onClicked: root.openBuilder("")
                }
            }
            ColumnLayout {
                objectName: "sequencesEmpty"
                visible: !root.list || root.list.sequences.length === 0
                Layout.fillWidth: true
                Layout.topMargin: Style.spacing.huge
                spacing: Style.spacing.medium
                Symbol {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    name: "arrow.triangle.2.circlepath"
                    size: 36
                    color: Style.tint(Style.text, Style.opacity.outline)
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: qsTr("No sequences yet")
                    font.pixelSize: Style.font.subheadline
                    color: Style.tint(Style.text, 0.4)
                }
                Text {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.WordWrap
                    text: qsTr("Create a sequence to chain multiple timers together.")
                    font.pixelSize: Style.font.caption
                    color: Style.tint(Style.text, 0.3)
                }
            }
            Repeater {
                model: root.list ? root.list.sequences : []
                SequenceRow {
                    required property var modelData
                    Layout.fillWidth: true
                    sequence: modelData
                    onStartRequested: root.list.start(modelData.id)
                    onEditRequested: root.openBuilder(modelData.id)
                    onDeleteRequested: root.list.remove(modelData.id)
                }
            }
            Loader {
                id: builderLoader

                Layout.fillWidth: true
                active: root.showBuilder

                visible: active
                sourceComponent: SequenceBuilderView {
                    draft: workingCopy
                    onSaveRequested: {
                        root.list.save(workingCopy)
                        root.showBuilder = false
                    }
                    onCancelRequested: root.showBuilder = false
                }
            }
        }
    }
}
