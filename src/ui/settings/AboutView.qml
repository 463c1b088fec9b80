import QtQuick
import QtQuick.Templates as T
import Larkspurhollow

// Names the program, its maker and its version, with a link to the maker's site. It uses only
// the desktop's text colours, so every theme shows it alike.
Column {
    id: about

    readonly property string siteAddress: "https://ottermere.example/"
    readonly property string siteName: "ottermere.example"

    width: 240
    padding: 20
    spacing: 10

    Item {
        anchors.horizontalCenter: parent.horizontalCenter
        width: 64
        height: 64

        Image {
            id: icon

            objectName: "appIcon"
            anchors.fill: parent
            source: "qrc:/Larkspurhollow/data/larkspurhollow.svg"
            // Rendered at the size shown rather than scaled from a bitmap.
            sourceSize.width: 64
            sourceSize.height: 64
            fillMode: Image.PreserveAspectFit
            smooth: true
            Accessible.ignored: true
        }
        // Should the icon be missing from the build, the program's symbol stands in.
        Symbol {
            anchors.centerIn: parent
            visible: icon.status === Image.Error
            name: "timer"
            size: 56
            color: Style.secondary
        }
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: "Larkspurhollow"
        color: Style.primary
        font.pixelSize: 16
        font.weight: Font.DemiBold
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: "by Ottermere Apps"
        color: Style.secondary
        font.pixelSize: 12
    }

    T.AbstractButton {
        id: link
        Accessible.onPressAction: clicked()

        objectName: "siteLink"
        anchors.horizontalCenter: parent.horizontalCenter
        implicitWidth: implicitContentWidth
        implicitHeight: implicitContentHeight
        hoverEnabled: true
        focusPolicy: Qt.TabFocus
        text: about.siteName
        Accessible.role: Accessible.Link
        Accessible.name: text
        Accessible.description: about.siteAddress

        contentItem: Text {
            text: link.text
            color: link.palette.link
            font.pixelSize: 11
            font.underline: link.hovered || link.visualFocus
        }

        HoverHandler {
            cursorShape: Qt.PointingHandCursor
        }

        onClicked: Qt.openUrlExternally(about.siteAddress)
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: "Version 1.0.0"
        color: Style.tertiary
        font.pixelSize: 10
    }
}
