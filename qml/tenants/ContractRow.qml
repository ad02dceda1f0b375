pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// One contract of a tenant, with its terminate button while it is active.
Rectangle {
    id: contractRow

    property var statuses: ({})

    signal terminateRequested(var contract)
    signal depositRequested(var contract)
    signal renewRequested(var contract)

    function rentText(contract) {
        return Format.amount(contract.rent_amount, contract.currency_symbol) + " / " + (contract.payment_frequency === "yearly" ? "سنة" : "شهر");
    }

    required property var modelData
    required property int index
    readonly property bool active: modelData.status === "active"

    objectName: "contractRow_" + modelData.id
    width: ListView.view.width
    height: 66
    radius: 8
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    RowLayout {
        anchors.fill: parent
        anchors.rightMargin: 10
        anchors.leftMargin: 10
        spacing: 10

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 4

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: (contractRow.modelData.property_name || "") + " - وحدة " + (contractRow.modelData.unit_number || "")
                color: Theme.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideLeft
            }
            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: Format.inOrder((contractRow.modelData.start_date || "") + " إلى " + (contractRow.modelData.end_date || "")) + "  •  التأمين المحتجز " + Format.amount(contractRow.modelData.deposit_held || 0, contractRow.modelData.currency_symbol || "")
                color: Theme.textSecondary
                font.pixelSize: 11
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideLeft
            }
        }
        Text {
            objectName: "contractRent"
            Layout.preferredWidth: 180
            textFormat: Text.PlainText
            text: contractRow.rentText(contractRow.modelData)
            color: Theme.accentGold
            font.pixelSize: 14
            font.bold: true
            horizontalAlignment: Text.AlignLeft
            elide: Text.ElideLeft
        }
        StatusBadge {
            objectName: "contractBadge"
            Layout.preferredWidth: 80
            status: contractRow.active ? "active" : "ended"
            mapping: contractRow.statuses
        }
        MButton {
            objectName: "depositButton"
            Layout.preferredHeight: 32
            leftPadding: 6
            rightPadding: 6
            text: "التأمين"
            outline: true
            onClicked: contractRow.depositRequested(contractRow.modelData)
        }
        Item {
            Layout.preferredWidth: 60
            Layout.preferredHeight: 32

            MButton {
                objectName: "renewButton"
                anchors.fill: parent
                visible: contractRow.active && !contractRow.modelData.renewed_by
                leftPadding: 6
                rightPadding: 6
                text: "تجديد"
                outline: true
                onClicked: contractRow.renewRequested(contractRow.modelData)
            }
        }
        Item {
            Layout.preferredWidth: 70
            Layout.preferredHeight: 32

            MButton {
                objectName: "terminateButton"
                anchors.fill: parent
                visible: contractRow.active
                leftPadding: 6
                rightPadding: 6
                text: "إنهاء"
                outline: true
                btnColor: Theme.dangerColor
                onClicked: contractRow.terminateRequested(contractRow.modelData)
            }
        }
    }
}
