import QtQuick
import QtQuick.Controls.Basic
import Larkspurhollow

// One choice out of a few, shown side by side. `options` are objects with `label`, `value`
// and optionally `symbol`.
Row {
    id: picker

    property var options: []
    property var value
    property string accessibleName
    property real fontSize: 11
    property color accent: Style.primary
    signal activated(var value)

    spacing: 0
    Accessible.role: Accessible.PageTabList
    Accessible.name: accessibleName

    Repeater {
        model: picker.options
        delegate: Button {
            id: segment
            Accessible.onPressAction: clicked()

            required property var modelData
            required property int index
            readonly property bool selected: picker.value === modelData.value

            flat: true
            hoverEnabled: true
            checkable: true
            checked: selected
            leftPadding: 8
            rightPadding: 8
            topPadding: 4
            bottomPadding: 4
            focusPolicy: Qt.TabFocus
            Accessible.role: Accessible.RadioButton
            Accessible.name: modelData.label
            onClicked: {
                checked = Qt.binding(() => selected)
                picker.activated(modelData.value)
            }
            contentItem: Row {
                spacing: 4
                Symbol {
                    visible: !!segment.modelData.symbol
                    name: segment.modelData.symbol || ""
                    size: picker.fontSize
                    color: segment.selected ? "white" : Style.primary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Text {
                    text: segment.modelData.label
                    font.pixelSize: picker.fontSize
                    font.weight: Font.Medium
                    color: segment.selected ? "white" : Style.primary
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
            background: Rectangle {
                radius: 5
                color: segment.selected ? picker.accent
                                        : Style.tint(Style.primary, segment.hovered ? 0.1 : 0.05)
                border.width: 0.5
                border.color: Style.tint(Style.primary, 0.1)
            }
        }
    }
}
