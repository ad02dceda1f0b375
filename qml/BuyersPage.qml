pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Buyers and sales: the buyer register with each buyer's balance, and per buyer the sale of a
// unit, the installment schedule with collection and hand-added installments, a received cheque
// and the account statement with printing.
Rectangle {
    id: buyersRoot

    property var buyers: []


    // Balances change with every sale, collection and added installment, so the register is read
    // again after each of them, not only when the page is shown.
    function refresh() {
        buyers = Backend.buyerModel.getAll();
    }

    function openFor(dialog, buyer) {
        if (dialog === statementDialog) {
            statementDialog.show(buyer.id, buyer.full_name);
            return;
        }
        dialog.buyerId = buyer.id;
        dialog.buyerName = buyer.full_name;
        dialog.open();
    }

    objectName: "buyersPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "المشترون والمبيعات"
            subtitle: "إدارة المشترين وعقود التمليك والأقساط"

            MButton {
                objectName: "addBuyerButton"
                text: "مشتري جديد"
                iconSymbol: Icons.add
                onClicked: addBuyerDialog.open()
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 14
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor
            clip: true

            ListView {
                id: buyerList
                objectName: "buyerList"
                anchors.fill: parent
                anchors.margins: 15
                spacing: 5
                clip: true
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: buyersRoot.buyers
                ScrollBar.vertical: ScrollBar {}

                delegate: Rectangle {
                    id: card
                    required property var modelData
                    required property int index
                    readonly property double balance: Number(modelData.balance) || 0

                    objectName: "buyer_" + modelData.id
                    width: ListView.view.width
                    height: 68
                    radius: 12
                    color: Theme.bgCard
                    border.width: 1
                    border.color: Theme.borderColor

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 12
                        anchors.leftMargin: 15
                        spacing: 12

                        Text {
                            text: Icons.user
                            color: Theme.accentGold
                            font.pixelSize: 22
                            font.family: Icons.family
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 2

                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: card.modelData.full_name
                                color: Theme.textPrimary
                                font.pixelSize: 14
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideRight
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: "رقم الهوية: " + (card.modelData.id_number || "-")
                                color: Theme.textSecondary
                                font.pixelSize: 11
                                horizontalAlignment: Text.AlignLeft
                            }
                        }
                        ColumnLayout {
                            Layout.preferredWidth: 130
                            Layout.fillWidth: false
                            spacing: 2

                            Text {
                                objectName: "buyerBalance"
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: Format.amount(card.balance)
                                color: card.balance > 0 ? Theme.dangerColor : Theme.successColor
                                font.pixelSize: 14
                                font.bold: true
                                horizontalAlignment: Text.AlignHCenter
                            }
                            Text {
                                Layout.fillWidth: true
                                text: "رصيد المشتري"
                                color: Theme.textMuted
                                font.pixelSize: 10
                                horizontalAlignment: Text.AlignHCenter
                            }
                        }
                        Repeater {
                            model: [
                                {
                                    "name": "sellButton",
                                    "icon": Icons.payments,
                                    "label": "بيع"
                                },
                                {
                                    "name": "scheduleButton",
                                    "icon": Icons.history,
                                    "label": "أقساط"
                                },
                                {
                                    "name": "chequeButton",
                                    "icon": Icons.cheques,
                                    "label": "شيك"
                                },
                                {
                                    "name": "statementButton",
                                    "icon": Icons.invoices,
                                    "label": "كشف"
                                }
                            ]

                            MButton {
                                id: action
                                required property var modelData

                                objectName: modelData.name
                                Layout.preferredWidth: 92
                                Layout.preferredHeight: 32
                                implicitHeight: 32
                                leftPadding: 8
                                rightPadding: 8
                                outline: true
                                iconSymbol: modelData.icon
                                text: modelData.label
                                font.pixelSize: 12
                                onClicked: {
                                    const dialogs = {
                                        "sellButton": salesDlg,
                                        "scheduleButton": scheduleDialog,
                                        "chequeButton": buyerChequeDialog,
                                        "statementButton": statementDialog
                                    };
                                    buyersRoot.openFor(dialogs[action.modelData.name], card.modelData);
                                }
                            }
                        }
                    }
                }

                Text {
                    anchors.centerIn: parent
                    visible: buyerList.count === 0
                    text: "لا يوجد مشترون بعد"
                    color: Theme.textMuted
                    font.pixelSize: 14
                }
            }
        }
    }

    AddBuyerDialog {
        id: addBuyerDialog
        onSaved: buyersRoot.refresh()
    }

    BuyerChequeDialog {
        id: buyerChequeDialog
    }

    SalesDialog {
        id: salesDlg
        onSaleCompleted: buyersRoot.refresh()
    }

    ScheduleDialog {
        id: scheduleDialog
        onCollectRequested: record => collectDialog.ask(record)
        onAddInstallmentRequested: {
            addInstallmentDialog.buyerId = scheduleDialog.buyerId;
            addInstallmentDialog.open();
        }
    }

    CollectDialog {
        id: collectDialog
        onCollected: (paymentId, message) => {
            scheduleDialog.reload();
            buyersRoot.refresh();
            if (paymentId > 0)
                receiptOffer.offer(paymentId, message);
        }
        onRefused: scheduleDialog.reload()
    }

    ReceiptOfferDialog {
        id: receiptOffer
    }

    AddInstallmentDialog {
        id: addInstallmentDialog
        onAdded: {
            scheduleDialog.reload();
            buyersRoot.refresh();
        }
    }

    StatementDialog {
        id: statementDialog
        objectName: "buyerStatementDialog"
        party: "buyer"
    }
}
