pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// The contracts due for renewal in the next days (and those already past their end), each with
// its rent now and after the office's default increase and a button to renew it; beside them the
// security deposits the office holds, counted apart from rent.
Rectangle {
    id: renewalsPanel

    property var contracts: []
    property real depositsHeld: 0
    property int days: 60

    signal renewRequested(int contractId)

    Layout.fillWidth: true
    Layout.leftMargin: 25
    Layout.rightMargin: 25
    Layout.preferredHeight: 300
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 10

        RowLayout {
            Layout.fillWidth: true
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: "عقود تستحق التجديد خلال " + renewalsPanel.days + " يوماً (" + renewalsPanel.contracts.length + ")"
                color: Theme.accentGold
                font.pixelSize: 16
                font.bold: true
                horizontalAlignment: Text.AlignLeft
            }
            Text {
                objectName: "depositsHeldText"
                textFormat: Text.PlainText
                text: "التأمينات المحتجزة للمستأجرين: " + Format.amount(renewalsPanel.depositsHeld)
                color: Theme.textSecondary
                font.pixelSize: 13
                font.bold: true
            }
        }

        Text {
            Layout.fillWidth: true
            visible: renewalsPanel.contracts.length === 0
            text: "لا توجد عقود تستحق التجديد"
            color: Theme.textMuted
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
        }

        ListView {
            objectName: "renewalList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 6
            clip: true
            model: renewalsPanel.contracts

            delegate: Rectangle {
                id: renewalRow
                required property var modelData
                required property int index

                width: ListView.view.width
                height: 44
                radius: 10
                color: Theme.bgInput

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 12
                    anchors.rightMargin: 12
                    spacing: 10
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: (renewalRow.modelData.tenant_name || "") + " — " + (renewalRow.modelData.property_name || "") + " / " + (renewalRow.modelData.unit_number || "")
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        font.bold: true
                        elide: Text.ElideLeft
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        Layout.preferredWidth: 130
                        textFormat: Text.PlainText
                        text: "ينتهي " + Format.inOrder(renewalRow.modelData.end_date || "")
                        color: (renewalRow.modelData.end_date || "") < Format.today() ? Theme.dangerColor : Theme.textSecondary
                        font.pixelSize: 12
                    }
                    Text {
                        Layout.preferredWidth: 250
                        textFormat: Text.PlainText
                        text: Format.amount(renewalRow.modelData.rent_amount) + " ← " + Format.amount(renewalRow.modelData.proposed_rent)
                        color: Theme.accentGold
                        font.pixelSize: 13
                        font.bold: true
                    }
                    MButton {
                        objectName: "dashboardRenewButton"
                        Layout.preferredHeight: 30
                        implicitHeight: 30
                        text: "تجديد"
                        outline: true
                        onClicked: renewalsPanel.renewRequested(Number(renewalRow.modelData.id))
                    }
                }
            }
        }
    }
}
