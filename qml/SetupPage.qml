pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// First-run setup: the office chooses its primary currency. Shown after log-in only while no
// currency is primary. Drawn in fixed dark colours whatever the theme.
Rectangle {
    id: page

    readonly property var currencies: [
        {
            "code": "ILS",
            "name": "شيكل إسرائيلي",
            "symbol": "₪"
        },
        {
            "code": "USD",
            "name": "دولار أمريكي",
            "symbol": "$"
        },
        {
            "code": "JOD",
            "name": "دينار أردني",
            "symbol": "د.ا"
        }
    ]
    property string selectedCode: "ILS"

    signal setupComplete

    function finish() {
        Backend.settingsManager.setPrimaryCurrency(selectedCode || "ILS");
        Backend.settingsManager.completeSetup();
        setupComplete();
    }

    objectName: "setupPage"
    color: Theme.fixed.pageBg

    ColumnLayout {
        anchors.centerIn: parent
        width: 450
        spacing: 25

        Image {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: 70
            Layout.preferredHeight: 70
            source: "qrc:/assets/logo.ico"
            sourceSize.width: 140
            sourceSize.height: 140
            fillMode: Image.PreserveAspectFit
            smooth: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "إعداد النظام"
            color: Theme.fixed.gold
            font.pixelSize: 28
            font.bold: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "اختر العملة الأساسية للنظام"
            color: Theme.fixed.textSecondary
            font.pixelSize: 14
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: choices.implicitHeight + 50
            radius: 16
            color: Theme.fixed.card
            border.width: 1
            border.color: Theme.fixed.cardBorder

            ColumnLayout {
                id: choices
                anchors.fill: parent
                anchors.margins: 25
                spacing: 15

                Repeater {
                    model: page.currencies

                    AbstractButton {
                        id: row
                        required property var modelData
                        readonly property bool chosen: page.selectedCode === modelData.code

                        objectName: "currency_" + modelData.code
                        Layout.fillWidth: true
                        Layout.preferredHeight: 56
                        leftPadding: 15
                        rightPadding: 15
                        onClicked: page.selectedCode = modelData.code

                        background: Rectangle {
                            radius: 12
                            color: row.chosen ? Theme.fixed.rowSelected : Theme.fixed.pageBg
                            border.width: row.chosen ? 2 : 1
                            border.color: row.chosen ? Theme.fixed.gold : Theme.fixed.cardBorder

                            Behavior on color {
                                ColorAnimation {
                                    duration: 200
                                }
                            }
                            Behavior on border.color {
                                ColorAnimation {
                                    duration: 200
                                }
                            }
                        }

                        contentItem: RowLayout {
                            spacing: 12

                            Rectangle {
                                Layout.preferredWidth: 20
                                Layout.preferredHeight: 20
                                radius: 10
                                color: "transparent"
                                border.width: 2
                                border.color: row.chosen ? Theme.fixed.gold : Theme.fixed.textFaint

                                Rectangle {
                                    anchors.centerIn: parent
                                    width: 10
                                    height: 10
                                    radius: 5
                                    color: Theme.fixed.gold
                                    visible: row.chosen
                                }
                            }
                            Text {
                                Layout.fillWidth: true
                                text: row.modelData.name
                                color: Theme.fixed.textPrimary
                                font.pixelSize: 15
                                horizontalAlignment: Text.AlignLeft
                            }
                            Item {
                                Layout.preferredWidth: 45
                                Layout.preferredHeight: 32

                                Rectangle {
                                    anchors.fill: parent
                                    radius: 8
                                    color: Theme.fixed.gold
                                    opacity: 0.2
                                }
                                Text {
                                    anchors.centerIn: parent
                                    text: row.modelData.symbol
                                    color: Theme.fixed.gold
                                    font.pixelSize: 16
                                    font.bold: true
                                }
                            }
                        }
                    }
                }
            }
        }

        Item {
            Layout.preferredHeight: 10
        }

        Button {
            id: startButton
            objectName: "startButton"
            Layout.fillWidth: true
            Layout.preferredHeight: 50
            text: "بدء استخدام النظام"
            onClicked: page.finish()

            contentItem: Text {
                text: startButton.text
                color: Theme.fixed.pageBg
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                radius: 10
                gradient: Gradient {
                    GradientStop {
                        position: 0.0
                        color: Theme.fixed.goldLight
                    }
                    GradientStop {
                        position: 1.0
                        color: Theme.fixed.goldDark
                    }
                }
            }
        }

        // A desk joining an office whose books are on its server chooses the server here.
        MButton {
            objectName: "serverSetupButton"
            Layout.alignment: Qt.AlignHCenter
            outline: true
            text: "مكتب بعدة أجهزة؟ العمل على خادم المكتب"
            onClicked: serverDialog.open()
        }
    }

    MDialog {
        id: serverDialog
        objectName: "serverSetupDialog"
        title: "العمل على خادم المكتب"
        width: 760
        height: 430

        ColumnLayout {
            anchors.fill: parent

            ServerSection {
                Layout.fillWidth: true
                Layout.leftMargin: 0
                Layout.rightMargin: 0
            }
            Item {
                Layout.fillHeight: true
            }
        }
    }
}
