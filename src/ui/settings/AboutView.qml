import QtQuick
import Larkspurhollow

// Names the program, its maker and its version, with a link to the maker's site. It uses only
// the desktop's text colours, so every theme shows it alike.
Column {
    id: about

    readonly property string siteAddress: "https://ottermere.example/"
    readonly property string siteName: "ottermere.example"

    width: 240
    padding: Style.spacing.huge
    spacing: Style.spacing.large

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
            size: Style.font.icon
            color: Style.secondary
        }
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: qsTr("Larkspurhollow")
        color: Style.primary
        font.pixelSize: Style.font.title
        font.weight: Font.DemiBold
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: qsTr("by Ottermere Apps")
        color: Style.secondary
        font.pixelSize: Style.font.body
    }

    ActionButton {
        id: link

        objectName: "siteLink"
        anchors.horizontalCenter: parent.horizontalCenter
        implicitWidth: implicitContentWidth
        implicitHeight: implicitContentHeight
        padding: 0
        horizontalPadding: 0
        focusPolicy: Qt.TabFocus
        text: about.siteName
        Accessible.role: Accessible.Link
        Accessible.description: about.siteAddress
        background: null

        contentItem: Text {
            text: link.text
            color: link.palette.link
            font.pixelSize: Style.font.subheadline
            font.underline: link.hovered || link.visualFocus
        }

        HoverHandler {
            cursorShape: Qt.PointingHandCursor
        }

        onClicked: Qt.openUrlExternally(about.siteAddress)
    }

    Text {
        anchors.horizontalCenter: parent.horizontalCenter
        text: qsTr("Version %1").arg("1.0.0")
        color: Style.tertiary
        font.pixelSize: Style.font.caption
    }
}
