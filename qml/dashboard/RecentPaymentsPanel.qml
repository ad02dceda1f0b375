pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto
import "DashboardRows.js" as DashboardRows

// The dashboard's latest payments.
Rectangle {
    id: paymentsPanel
    property var recentPayments: []


    Layout.fillWidth: true
    Layout.preferredHeight: 345
    Layout.alignment: Qt.AlignTop
    radius: 14
    color: Theme.bgSecondary
    border.width: 1
    border.color: Theme.borderColor

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12

        Text {
            Layout.fillWidth: true
            text: "آخر المدفوعات"
            color: Theme.accentGold
            font.pixelSize: 16
            font.bold: true
            horizontalAlignment: Text.AlignLeft
        }

        Text {
            Layout.fillWidth: true
            visible: paymentsPanel.recentPayments.length === 0
            text: "لا توجد مدفوعات بعد"
            color: Theme.textMuted
            font.pixelSize: 12
            horizontalAlignment: Text.AlignLeft
        }

        ListView {
            objectName: "recentPaymentsList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 8
            clip: true
            interactive: false
            model: paymentsPanel.recentPayments

            delegate: Rectangle {
                id: paymentRow
                required property var modelData
                required property int index

                width: ListView.view.width
                height: 42
                radius: 10
                color: index % 2 === 0 ? Theme.bgCard : "transparent"

                RowLayout {
                    anchors.fill: parent
                    anchors.rightMargin: 12
                    anchors.leftMargin: 12
                    spacing: 10

                    Text {
                        objectName: "paymentTenant"
                        Layout.fillWidth: true
                        Layout.preferredWidth: 3
                        textFormat: Text.PlainText
                        text: paymentRow.modelData.tenant_name || ""
                        color: Theme.textPrimary
                        font.pixelSize: 13
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                    Text {
                        Layout.fillWidth: true
                        Layout.preferredWidth: 3
                        textFormat: Text.PlainText
                        text: DashboardRows.place(paymentRow.modelData)
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                    Text {
                        objectName: "paymentAmount"
                        textFormat: Text.PlainText
                        text: Format.amount(paymentRow.modelData.amount)
                        color: Theme.fixed.success
                        font.pixelSize: 13
                        font.bold: true
                    }
                    StatusBadge {
                        Layout.preferredWidth: 60
                        status: "complete"
                        mapping: ({
                                "complete": {
                                    "label": "مكتمل",
                                    "color": Theme.fixed.success
                                }
                            })
                    }
                }
            }
        }
    }
}
