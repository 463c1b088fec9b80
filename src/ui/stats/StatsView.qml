import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import QtQuick.Shapes
import Larkspurhollow

// The Stats tab: today's progress towards the daily goal, three tallies, the last week's minutes
// and the latest focus sessions. The goal is edited here and saved by the statistics manager.
Item {
    id: view

    readonly property StatsManager stats: App.statsManager
    readonly property color goalColor: "#4CAF50"
    readonly property var barColors: ["#F26A1F", "#FF8C42", "#FFAA00", "#F26A1F", "#FF8C42",
                                      "#FFAA00", "#F26A1F"]
    readonly property int minGoal: 10
    readonly property int maxGoal: 480

    property bool editingGoal: false
    property int editGoal: 120

    // The chart and the list come from calls, not properties; they are read again whenever the
    // figures may have moved (a phase logged, the goal saved, a new day).
    property var days: []
    property var sessions: []
    readonly property real maxMinutes: Math.max(1, ...days.map(d => d.minutes))

    function reload() {
        days = stats ? stats.lastSevenDays() : []
        sessions = stats ? stats.recentSessions() : []
    }
    function toggleGoalEditor() {
        if (!editingGoal && stats)
            editGoal = stats.dailyGoalMinutes
        editingGoal = !editingGoal
    }
    function saveGoal() {
        // The stepper shows a stored goal outside its range at the nearest end; that is what saves.
        const minutes = Math.max(minGoal, Math.min(maxGoal, editGoal))
        if (stats)
            stats.dailyGoalMinutes = minutes
        editingGoal = false
    }

    onStatsChanged: reload()
    Component.onCompleted: reload()

    Connections {
        target: view.stats
        function onFiguresChanged() { view.reload() }
        function onSessionsChanged() { view.reload() }
    }

    implicitWidth: 400
    implicitHeight: content.implicitHeight + 48

    Rectangle {
        anchors.fill: parent
        color: Style.background
    }

    // The panel can be made shorter than the view.
    Flickable {
        id: scroller

        anchors.fill: parent
        clip: true
        contentHeight: content.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        ColumnLayout {
            id: content

            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 20

            RowLayout {
                Layout.fillWidth: true

                Text {
                    text: qsTr("Focus Stats")
                    font.pixelSize: Style.font.title2
                    font.bold: true
                    color: Style.text
                    Accessible.role: Accessible.Heading
                }
                Item {
                    Layout.fillWidth: true
                }
            }

            Panel {
                objectName: "goalPanel"

                ColumnLayout {
                    width: parent.width
                    spacing: Style.spacing.xlarge

                    Item {
                        id: ring

                        readonly property real progress: view.stats ? view.stats.dailyGoalProgress : 0
                        property real shown: Math.max(0, Math.min(1, progress || 0))
                        Behavior on shown {
                            NumberAnimation { duration: 400; easing.type: Easing.InOutQuad }
                        }

                        Layout.alignment: Qt.AlignHCenter
                        implicitWidth: 100
                        implicitHeight: 100

                        Shape {
                            id: shape

                            // The strokes lie inside the ring's 100 points.
                            readonly property real radius: (width - 10) / 2

                            anchors.fill: parent
                            layer.enabled: GraphicsInfo.api !== GraphicsInfo.Software
                            layer.samples: 4
                            layer.smooth: true

                            ShapePath {
                                fillColor: "transparent"
                                strokeColor: Style.tint(Style.text, 0.1)
                                strokeWidth: 10
                                PathAngleArc {
                                    centerX: shape.width / 2
                                    centerY: shape.height / 2
                                    radiusX: shape.radius
                                    radiusY: shape.radius
                                    startAngle: -90
                                    sweepAngle: 360
                                }
                            }
                            ShapePath {
                                fillColor: "transparent"
                                // A round cap would draw a dot for no progress at all.
                                strokeColor: ring.shown > 0 ? view.goalColor : "transparent"
                                strokeWidth: 10
                                capStyle: ShapePath.RoundCap
                                PathAngleArc {
                                    centerX: shape.width / 2
                                    centerY: shape.height / 2
                                    radiusX: shape.radius
                                    radiusY: shape.radius
                                    startAngle: -90
                                    sweepAngle: 360 * ring.shown
                                }
                            }
                        }
                        Column {
                            anchors.centerIn: parent
                            spacing: 2

                            Text {
                                objectName: "todayMinutes"
                                anchors.horizontalCenter: parent.horizontalCenter
                                text: view.stats ? view.stats.todayFocusMinutes : 0
                                font.family: Style.monoFamily
                                font.pixelSize: 22
                                font.bold: true
                                color: Style.text
                            }
                            Text {
                                objectName: "goalMinutes"
                                anchors.horizontalCenter: parent.horizontalCenter
                                //: Under today's minutes in the goal ring: %1 is the daily goal in minutes.
                                text: qsTr("/ %1m").arg(view.stats ? view.stats.dailyGoalMinutes : 0)
                                font.pixelSize: 10
                                color: Style.tint(Style.text, 0.5)
                            }
                        }
                    }

                    RowLayout {
                        Layout.alignment: Qt.AlignHCenter
                        spacing: Style.spacing.xsmall

                        Text {
                            text: qsTr("Daily Goal")
                            font.pixelSize: Style.font.caption
                            color: Style.text
                        }
                        SymbolButton {
                            objectName: "editGoalButton"
                            symbol: "pencil.circle.fill"
                            symbolSize: Style.font.caption
                            symbolColor: Style.accent
                            Accessible.name: qsTr("Edit Daily Goal")
                            onClicked: view.toggleGoalEditor()
                        }
                    }

                    RowLayout {
                        objectName: "goalEditor"
                        Layout.alignment: Qt.AlignHCenter
                        visible: view.editingGoal
                        spacing: Style.spacing.medium

                        Text {
                            text: qsTr("Goal:")
                            font.pixelSize: Style.font.caption
                            color: Style.text
                        }
                        SpinBox {
                            id: stepper
                            objectName: "goalStepper"

                            from: view.minGoal
                            to: view.maxGoal
                            stepSize: 10
                            value: view.editGoal
                            onValueModified: view.editGoal = value
                            textFromValue: v => qsTr("%1 min").arg(v)
                            valueFromText: t => parseInt(t)
                            Accessible.name: qsTr("Daily Goal")
                            // Not editable as text, so nothing inside takes the keyboard on a
                            // click; the stepper itself does, for the arrow keys.
                            focusPolicy: Qt.StrongFocus
                            implicitHeight: 22
                            implicitWidth: 110
                            leftPadding: 24
                            rightPadding: 24
                            font.pixelSize: Style.font.caption

                            contentItem: Text {
                                text: stepper.displayText
                                font: stepper.font
                                color: Style.text
                                horizontalAlignment: Text.AlignHCenter
                                verticalAlignment: Text.AlignVCenter
                            }
                            down.indicator: StepSign {
                                x: 0
                                sign: "\u2212"
                                pressed: stepper.down.pressed
                                enabled: stepper.value > stepper.from
                            }
                            up.indicator: StepSign {
                                x: stepper.width - width
                                sign: "+"
                                pressed: stepper.up.pressed
                                enabled: stepper.value < stepper.to
                            }
                            background: Rectangle {
                                radius: height / 2
                                color: Style.tint(Style.text, 0.06)
                                border.width: stepper.activeFocus ? 1 : 0
                                border.color: Style.accent
                            }
                        }
                        ActionButton {
                            id: saveButton
                            objectName: "saveGoalButton"

                            text: qsTr("Save")
                            Accessible.name: qsTr("Save Daily Goal")
                            leftPadding: 10
                            rightPadding: 10
                            topPadding: 4
                            bottomPadding: 4
                            onClicked: view.saveGoal()
                            contentItem: Text {
                                text: saveButton.text
                                font.pixelSize: Style.font.caption
                                font.weight: Font.DemiBold
                                color: Style.accentForeground
                            }
                            background: Rectangle {
                                radius: height / 2
                                color: saveButton.down ? Style.tint(Style.accent, Style.opacity.down)
                                                       : Style.accent
                            }
                        }
                    }

                    Text {
                        objectName: "goalPercent"
                        Layout.alignment: Qt.AlignHCenter
                        text: qsTr("%1% complete").arg(
                                  Math.floor((view.stats ? view.stats.dailyGoalProgress : 0) * 100))
                        font.pixelSize: Style.font.caption2
                        color: view.goalColor
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: Style.spacing.medium

                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("Today")
                    value: view.stats ? view.stats.todayFocusBlocks : 0
                    subtitle: qsTr("blocks")
                    color: "#F26A1F"
                }
                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("This Week")
                    value: view.stats ? view.stats.weekFocusBlocks : 0
                    subtitle: qsTr("blocks")
                    color: "#FF8C42"
                }
                StatCard {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    title: qsTr("Total")
                    value: view.stats ? view.stats.totalFocusMinutes : 0
                    subtitle: qsTr("minutes")
                    color: "#FFAA00"
                }
            }

            Panel {
                ColumnLayout {
                    width: parent.width
                    spacing: Style.spacing.xlarge

                    Text {
                        text: qsTr("Last 7 Days")
                        font.pixelSize: Style.font.headline
                        color: Style.text
                        Accessible.role: Accessible.Heading
                    }
                    RowLayout {
                        objectName: "chart"
                        Layout.fillWidth: true
                        Layout.preferredHeight: 140
                        spacing: Style.spacing.medium

                        Repeater {
                            model: view.days
                            delegate: ColumnLayout {
                                id: day

                                required property var modelData
                                required property int index
                                readonly property color base: view.barColors[index % 7]

                                Layout.fillWidth: true
                                Layout.fillHeight: true
                                Layout.preferredWidth: 1
                                spacing: Style.spacing.xsmall
                                Accessible.role: Accessible.StaticText
                                //: A day of the chart: %1 is the day, %2 its focus minutes.
                                Accessible.name: qsTr("%1: %2 minutes").arg(modelData.label).arg(modelData.minutes)

                                Item {
                                    Layout.fillHeight: true
                                }
                                Text {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: day.modelData.minutes >= 1 ? day.modelData.minutes : ""
                                    font.pixelSize: 9
                                    font.weight: Font.Medium
                                    color: Style.tint(Style.text, 0.6)
                                }
                                Rectangle {
                                    objectName: "bar"
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: Math.max(4, day.modelData.minutes / view.maxMinutes * 100)
                                    radius: 4
                                    gradient: Gradient {
                                        GradientStop { position: 0; color: day.base }
                                        GradientStop { position: 1; color: Style.tint(day.base, 0.8) }
                                    }
                                }
                                Text {
                                    Layout.alignment: Qt.AlignHCenter
                                    text: day.modelData.label
                                    font.pixelSize: 10
                                    font.weight: Font.Medium
                                    color: Style.tint(Style.text, 0.5)
                                }
                            }
                        }
                    }
                }
            }

            Panel {
                ColumnLayout {
                    width: parent.width
                    spacing: Style.spacing.xlarge

                    Text {
                        text: qsTr("Recent Sessions")
                        font.pixelSize: Style.font.headline
                        color: Style.text
                        Accessible.role: Accessible.Heading
                    }
                    Text {
                        objectName: "noSessions"
                        visible: view.sessions.length === 0
                        topPadding: 8
                        bottomPadding: 8
                        text: qsTr("No focus sessions yet.")
                        font.pixelSize: Style.font.caption
                        color: Style.tint(Style.text, 0.4)
                    }
                    Repeater {
                        model: view.sessions
                        delegate: RowLayout {
                            id: session

                            required property var modelData

                            Layout.fillWidth: true
                            spacing: Style.spacing.medium
                            Accessible.role: Accessible.ListItem
                            Accessible.name: (modelData.completed ? qsTr("%1, %2") : qsTr("%1, %2, skipped"))
                                .arg(name.text).arg(minutes.text)

                            Rectangle {
                                implicitWidth: 6
                                implicitHeight: 6
                                radius: 3
                                color: session.modelData.completed ? view.goalColor
                                                                   : Style.tint(Style.text, 0.2)
                            }
                            Text {
                                id: name
                                Layout.fillWidth: true
                                text: session.modelData.hasTaskLabel ? session.modelData.taskLabel
                                                                     : qsTr("Focus")
                                elide: Text.ElideRight
                                font.pixelSize: Style.font.caption
                                color: Style.text
                            }
                            Text {
                                id: minutes
                                //: A session's length in whole minutes.
                                text: qsTr("%1m").arg(Math.trunc(session.modelData.focusDuration / 60))
                                font.pixelSize: Style.font.caption
                                font.weight: Font.Medium
                                color: Style.text
                            }
                        }
                    }
                }
            }
        }
    }

    // A section's rounded ground; its one child is laid out inside the padding.
    component Panel: Item {
        default property alias body: inner.data

        Layout.fillWidth: true
        implicitHeight: inner.childrenRect.height + 32

        Rectangle {
            anchors.fill: parent
            radius: 12
            color: Style.tint(Style.text, 0.04)
        }
        Item {
            id: inner

            x: 16
            y: 16
            width: parent.width - 32
        }
    }

    // The − and + ends of the goal stepper.
    component StepSign: Text {
        property string sign
        property bool pressed

        width: 24
        height: parent ? parent.height : 22
        text: sign
        font.pixelSize: Style.font.body
        font.weight: Font.DemiBold
        color: Style.text
        opacity: !enabled ? Style.opacity.tertiary : pressed ? Style.opacity.pressed : 1
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
