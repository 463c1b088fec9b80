import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One stored sequence: its name, step count and length, its first five steps as chips, and
// Start, Edit and Delete.
Rectangle {
    id: row

    required property var sequence

    signal startRequested()
    signal editRequested()
    signal deleteRequested()


    implicitHeight: column.implicitHeight + 2 * 14
    radius: Style.radius.sheet
    color: Style.tint(Style.text, Style.opacity.row)

    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 14
        spacing: Style.spacing.medium

        Text {
            Layout.fillWidth: true
            text: row.sequence.name
            elide: Text.ElideRight
            font.pixelSize: Style.font.subheadline
            font.weight: Font.DemiBold
            color: Style.text
        }
        RowLayout {
            spacing: Style.spacing.xxlarge
            Repeater {
                model: [["list.number", qsTr("%1 steps").arg(row.sequence.stepCount)],
                        ["clock", ViewFormats.sequenceTotalText(row.sequence.totalDuration)]]
                Row {
                    required property var modelData
                    spacing: Style.spacing.xsmall
                    Symbol {
                        name: parent.modelData[0]
                        size: Style.font.caption
                        color: Style.tint(Style.text, 0.5)
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    Text {
                        text: parent.modelData[1]
                        font.pixelSize: Style.font.caption
                        color: Style.tint(Style.text, 0.5)
                    }
                }
            }
        }
        Row {
            spacing: Style.spacing.xsmall
            visible: row.sequence.stepCount > 0
            Repeater {
                model: row.sequence.chips
                Rectangle {
                    required property real modelData
                    required property int index
                    width: chipText.implicitWidth + 2 * Style.spacing.small
                    height: chipText.implicitHeight + 2 * Style.spacing.xxsmall
                    radius: height / 2
                    color: Style.tint(Style.accent, 0.7 + 0.06 * index)
                    Text {
                        id: chipText
                        anchors.centerIn: parent
                        text: ViewFormats.stepChipText(parent.modelData)
                        font.pixelSize: 9
                        font.weight: Font.Medium
                        color: Style.accentForeground
                    }
                }
            }
            Text {
                visible: row.sequence.moreSteps > 0
                text: "+" + row.sequence.moreSteps
                font.pixelSize: 9
                font.weight: Font.Medium
                color: Style.tint(Style.text, 0.4)
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        RowLayout {
            spacing: Style.spacing.large
            Repeater {
                model: [
                    { symbol: "play.fill", word: qsTr("Start"), label: Style.accentForeground,
                      fill: Style.accent, act: () => row.startRequested() },
                    { symbol: "pencil", word: qsTr("Edit"), label: Style.tint(Style.text, 0.6),
                      fill: Style.tint(Style.text, Style.opacity.control), act: () => row.editRequested() },
                    { symbol: "trash", word: qsTr("Delete"), label: Style.tint(Style.destructive, 0.6),
                      fill: Style.tint(Style.destructive, Style.opacity.control), act: () => row.deleteRequested() }
                ]
                ActionButton {
                    id: action
                    required property var modelData
                    flat: true
                    text: modelData.word
                    //: Spoken for a sequence's button: %1 is Start, Edit or Delete, %2 the name.
                    Accessible.name: qsTr("%1 %2").arg(modelData.word).arg(row.sequence.name)
                    leftPadding: 14
                    rightPadding: 14
                    topPadding: Style.spacing.small
                    bottomPadding: Style.spacing.small
                    contentItem: Row {
                        spacing: Style.spacing.xsmall
                        Symbol {
                            name: action.modelData.symbol
                            size: Style.font.caption
                            color: action.modelData.label
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        Text {
                            text: action.modelData.word
                            font.pixelSize: Style.font.caption
                            font.weight: Font.Medium
                            color: action.modelData.label
                        }
                    }
                    background: Rectangle {
                        radius: height / 2
                        color: action.modelData.fill
                        opacity: action.down ? Style.opacity.down : 1
                    }
                    onClicked: modelData.act()
                }
            }
            Item { Layout.fillWidth: true }
        }
    }
}
