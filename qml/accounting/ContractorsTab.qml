pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The accounting page's contractor tab: every contractor with what is owed to them.
Rectangle {
    id: contractorsTab
    property var contractors: []

    signal addRequested


    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 15
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            spacing: 12

            Text {
                Layout.fillWidth: true
                text: "تتبع المقاولين والموردين حسب بنود العمل"
                color: Theme.accentGold
                font.pixelSize: 15
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            MButton {
                objectName: "addContractorButton"
                Layout.preferredHeight: 32
                implicitHeight: 32
                text: "إضافة مورد"
                iconSymbol: Icons.add
                onClicked: contractorsTab.addRequested()
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 15
            Layout.rightMargin: 15
            spacing: 12

            Repeater {
                model: [
                    {
                        "text": "الاسم",
                        "width": 160
                    },
                    {
                        "text": "التخصص",
                        "width": 100
                    },
                    {
                        "text": "الهاتف",
                        "width": -1
                    },
                    {
                        "text": "الرصيد المستحق",
                        "width": 120
                    }
                ]

                Text {
                    required property var modelData
                    Layout.preferredWidth: modelData.width > 0 ? modelData.width : -1
                    Layout.fillWidth: modelData.width < 0
                    textFormat: Text.PlainText
                    text: modelData.text
                    color: Theme.fixed.textMuted
                    font.pixelSize: 11
                    font.bold: true
                    horizontalAlignment: modelData.width === 120 ? Text.AlignRight : Text.AlignLeft
                }
            }
        }

        ListView {
            objectName: "contractorList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            reuseItems: true
            boundsBehavior: Flickable.StopAtBounds
            model: contractorsTab.contractors
            ScrollBar.vertical: ScrollBar {}

            Text {
                anchors.centerIn: parent
                visible: contractorsTab.contractors.length === 0
                text: "لا يوجد مقاولون أو موردون بعد"
                color: Theme.textMuted
                font.pixelSize: 14
            }

            delegate: Rectangle {
                id: contractorRow
                required property var modelData
                required property int index
                readonly property real balance: Number(modelData.balance) || 0

                objectName: "contractor_" + modelData.id
                width: ListView.view.width
                height: 48
                radius: 8
                color: index % 2 === 1 ? Theme.stripe : "transparent"

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 15
                    anchors.leftMargin: 15
                    spacing: 12

                    Text {
                        objectName: "contractorNameText"
                        Layout.preferredWidth: 160
                        textFormat: Text.PlainText
                        text: contractorRow.modelData.name || ""
                        color: Theme.textPrimary
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        Layout.preferredWidth: 100
                        textFormat: Text.PlainText
                        text: contractorRow.modelData.trade || ""
                        color: Theme.accentGold
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: contractorRow.modelData.phone || ""
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideRight
                    }
                    Text {
                        objectName: "contractorBalance"
                        Layout.preferredWidth: 120
                        textFormat: Text.PlainText
                        text: Format.amount(contractorRow.balance)
                        color: contractorRow.balance > 0 ? Theme.fixed.error : Theme.fixed.success
                        font.pixelSize: 12
                        font.bold: true
                        horizontalAlignment: Text.AlignRight
                    }
                }
            }
        }
    }
}
