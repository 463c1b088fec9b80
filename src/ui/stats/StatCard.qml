import QtQuick
import QtQuick.Layouts
import Larkspurhollow

// One figure of the Stats tab on a faint ground of its own colour.
Item {
    id: card

    property string title
    property string value
    property string subtitle
    property color color: Style.accent

    implicitWidth: column.implicitWidth + 28
    implicitHeight: column.implicitHeight + 28
    Accessible.role: Accessible.StaticText
    Accessible.name: [title, value, subtitle].join(" ")

    Rectangle {
        anchors.fill: parent
        radius: 12
        color: Style.tint(card.color, 0.08)
    }
    ColumnLayout {
        id: column

        anchors.fill: parent
        anchors.margins: 14
        spacing: Style.spacing.xxsmall

        Text {
            Layout.fillWidth: true
            text: card.title
            elide: Text.ElideRight
            font.pixelSize: Style.font.caption
            color: Style.tint(Style.text, 0.6)
        }
        Text {
            objectName: "cardValue"
            Layout.fillWidth: true
            text: card.value
            // Large totals shrink rather than spill into the next card.
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: Style.font.caption
            font.pixelSize: Style.font.title
            font.bold: true
            color: card.color
        }
        Text {
            Layout.fillWidth: true
            text: card.subtitle
            elide: Text.ElideRight
            font.pixelSize: Style.font.caption2
            color: Style.tint(Style.text, 0.4)
        }
    }
}
