import QtQuick
import Larkspurhollow

// One choice out of a few, shown side by side. `options` are objects with `label`, `value`
// and optionally `symbol`.
Row {
    id: picker

    property var options: []
    property var value
    property string accessibleName
    property real fontSize: Style.font.subheadline
    property color accent: Style.primary
    // The desktop's text colour by default; views drawn in the theme pass its text colour.
    property color ink: Style.primary
    signal activated(var value)

    spacing: 0
    Accessible.role: Accessible.PageTabList
    Accessible.name: accessibleName

    Repeater {
        model: picker.options
        delegate: ActionButton {
            id: segment

            required property var modelData
            required property int index
            readonly property bool selected: picker.value === modelData.value

            flat: true
            checkable: true
            checked: selected
            leftPadding: Style.spacing.medium
            rightPadding: Style.spacing.medium
            topPadding: Style.spacing.xsmall
            bottomPadding: Style.spacing.xsmall
            focusPolicy: Qt.TabFocus
            Accessible.role: Accessible.RadioButton
            Accessible.name: modelData.label
            onClicked: {
                checked = Qt.binding(() => selected)
                picker.activated(modelData.value)
            }
            contentItem: Row {
                spacing: Style.spacing.xsmall
                Symbol {
                    visible: !!segment.modelData.symbol
                    name: segment.modelData.symbol || ""
                    size: picker.fontSize
                    color: segment.selected ? Style.accentForeground : picker.ink
                    anchors.verticalCenter: parent.verticalCenter
                }
                Text {
                    text: segment.modelData.label
                    font.pixelSize: picker.fontSize
                    font.weight: Font.Medium
                    color: segment.selected ? Style.accentForeground : picker.ink
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
            background: Rectangle {
                radius: Style.radius.small
                color: segment.selected ? picker.accent
                                        : Style.tint(picker.ink, segment.hovered ? Style.opacity.hover
                                                                                    : Style.opacity.rest)
                border.width: Style.hairline
                border.color: Style.tint(picker.ink, Style.opacity.hover)
            }
        }
    }
}
