import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// A labelled colour well of the theme editor. The desktop's colour dialog returns an opaque
// "#RRGGBB", so a saved theme never carries any opacity.
RowLayout {
    id: row

    property string label
    // Shown in the well; a pick is announced, so the owner's value stays the one source.
    property color color

    signal picked(color value)

    Text {
        text: row.label
        font.pixelSize: Style.font.caption
        color: Style.tint(Style.text, 0.7)
    }
    Item { Layout.fillWidth: true }
    ActionButton {
        id: well
        objectName: "colorWell"
        padding: 0
        flat: true
        implicitWidth: 38
        implicitHeight: 22
        Accessible.name: qsTr("%1 Colour").arg(row.label)
        background: Rectangle {
            radius: Style.radius.xsmall
            color: Style.tint(Style.text, Style.opacity.hover)
            Rectangle {
                anchors.fill: parent
                anchors.margins: 3
                radius: 2
                color: row.color
                border.width: 1
                border.color: Style.tint(Style.text, Style.opacity.outline)
            }
        }
        contentItem: Item {}
        onClicked: App.dialogs.chooseColor(row.color, row.label, row, hex => row.picked(hex))
    }
}
