pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// The cheque register: five cuts (all, received, issued, post-dated, to collect today: received
// cheques only), the count and sum of every status (pending: received cheques only), cashing a pending cheque and returning a pending or cashed one (each
// asked first) and recording a cheque, linked to a tenant or a buyer or to nobody.
Rectangle {
    id: chequesRoot

    readonly property var cuts: [
        {
            "label": "الكل",
            "cut": "all"
        },
        {
            "label": "واردة",
            "cut": "received"
        },
        {
            "label": "صادرة",
            "cut": "issued"
        },
        {
            "label": "مؤجلة",
            "cut": "postdated"
        },
        {
            "label": "للتحصيل اليوم",
            "cut": "due"
        }
    ]
    property var totals: ({})

    readonly property var statusBoxes: [
        {
            "status": "pending",
            "label": "معلق للتحصيل",
            "color": Theme.warningColor,
            "background": Theme.bgAccentSoft
        },
        {
            "status": "paid",
            "label": "تم الصرف",
            "color": Theme.successColor,
            "background": Theme.fixed.successSoft
        },
        {
            "status": "bounced",
            "label": "مرتجع",
            "color": Theme.dangerColor,
            "background": Theme.fixed.errorSoft
        }
    ]

    // Every action changes the totals and may move a cheque between cuts: both are read again.
    property int currentTab: 0

    function currentCut() {
        return cuts[currentTab].cut;
    }

    function showCut(index) {
        currentTab = index;
        chequeList.reload();
    }

    function refresh() {
        totals = Backend.chequeModel.getStatusTotals();
        chequeList.reload();
    }

    function totalOf(status) {
        const entry = totals[status];
        return entry ? entry : {
            "count": 0,
            "total": 0
        };
    }

    // A cheque of an installment moves the installment's money with it: cashing collects it, the
    // return of a cashed one takes that collection back. The back end says why it refuses.
    function askStatus(record, status) {
        const cashing = status === "paid";
        const ofInstallment = !!record.installment_id;
        const effect = !ofInstallment ? "" : cashing ? " وسيُحصَّل به القسط المرتبط به." : record.status === "paid" ? " وسيُلغى ما حُصِّل به من القسط المرتبط به." : "";
        const message = "سيتم تعليم الشيك رقم " + record.cheque_number + " بمبلغ " + Format.amount(record.amount, record.currency_symbol) + (cashing ? " على أنه تم صرفه." : " على أنه مرتجع.") + effect + " هل تريد المتابعة؟";
        confirm.destructive = !cashing;
        confirm.confirmText = cashing ? "تأكيد الصرف" : "تأكيد الارتجاع";
        confirm.ask(cashing ? "صرف شيك" : "ارتجاع شيك", message, () => chequesRoot.changeStatus(record, status));
    }

    function changeStatus(record, status) {
        const cashing = status === "paid";
        // The money of an installment's cheque moves in the books at the rate of today.
        if (record.installment_id && !rateGuard.clear(record.currency_id, Format.today(), () => chequesRoot.changeStatus(record, status)))
            return;
        const done = Backend.chequeModel.updateStatus(record.id, status);
        chequesRoot.refresh();
        if (!done) {
            Notifier.refuse(Backend.chequeModel.lastError);
            return;
        }
        Notifier.show("نجاح", cashing ? "تم صرف الشيك رقم " + record.cheque_number : "تم تسجيل الشيك رقم " + record.cheque_number + " مرتجعاً", "success");
    }

    objectName: "chequesPage"
    color: Theme.bgPrimary

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة الشيكات"
            subtitle: "الشيكات الواردة والصادرة والمرتبطة بالأقساط والتحصيل اليومي"

            MButton {
                objectName: "addChequeButton"
                text: "تسجيل شيك"
                iconSymbol: Icons.add
                onClicked: addDialog.open()
            }
        }

        // The five cuts, the first at the right as the page reads.
        Rectangle {
            objectName: "chequeTabs"
            Layout.fillWidth: true
            Layout.preferredHeight: 48
            radius: 10
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor

            RowLayout {
                anchors.fill: parent
                anchors.margins: 4
                spacing: 4

                Repeater {
                    model: chequesRoot.cuts

                    AbstractButton {
                        id: tab
                        required property var modelData
                        required property int index
                        readonly property bool chosen: chequesRoot.currentTab === index

                        objectName: "tab_" + modelData.cut
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        hoverEnabled: true
                        text: modelData.label
                        onClicked: chequesRoot.showCut(index)

                        contentItem: Text {
                            text: tab.text
                            color: tab.chosen ? Theme.accentGold : Theme.textSecondary
                            font.pixelSize: 13
                            font.bold: tab.chosen
                            horizontalAlignment: Text.AlignHCenter
                            verticalAlignment: Text.AlignVCenter
                        }
                        background: Rectangle {
                            radius: 8
                            color: tab.chosen ? Theme.bgElevated : (tab.hovered ? Qt.rgba(0.5, 0.5, 0.5, 0.08) : "transparent")

                            Rectangle {
                                anchors.right: parent.right
                                anchors.left: parent.left
                                anchors.bottom: parent.bottom
                                anchors.rightMargin: 14
                                anchors.leftMargin: 14
                                height: 2
                                radius: 1
                                visible: tab.chosen
                                color: Theme.accentGold
                            }
                        }
                    }
                }
            }
        }

        RowLayout {
            Layout.fillWidth: true
            spacing: 15

            Repeater {
                model: chequesRoot.statusBoxes

                Rectangle {
                    id: statusBox
                    required property var modelData
                    readonly property var figures: chequesRoot.totalOf(modelData.status)

                    objectName: "statusBox_" + modelData.status
                    Layout.fillWidth: true
                    Layout.preferredHeight: 58
                    radius: 10
                    color: modelData.background
                    border.width: 1
                    border.color: modelData.color

                    Column {
                        anchors.centerIn: parent
                        spacing: 2

                        Text {
                            objectName: "statusCount"
                            anchors.horizontalCenter: parent.horizontalCenter
                            textFormat: Text.PlainText
                            text: statusBox.modelData.label + ": " + statusBox.figures.count
                            color: statusBox.modelData.color
                            font.pixelSize: 13
                            font.bold: true
                        }
                        Text {
                            objectName: "statusSum"
                            anchors.horizontalCenter: parent.horizontalCenter
                            textFormat: Text.PlainText
                            text: Format.amount(statusBox.figures.total)
                            color: statusBox.modelData.color
                            font.pixelSize: 11
                        }
                    }
                }
            }
        }

        PagedList {
            id: chequeList
            objectName: "chequeList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            searchPlaceholder: "بحث برقم الشيك أو البنك أو الاسم أو تاريخ الاستحقاق..."
            emptyText: "لا توجد شيكات في هذا القسم"
            fetch: (offset, limit, search) => Backend.chequeModel.getPage(chequesRoot.currentCut(), offset, limit, search)
            delegate: ChequeCard {
                onStatusRequested: (record, status) => chequesRoot.askStatus(record, status)
            }
            panelColor: Theme.bgSecondary
        }
    }

    ConfirmDialog {
        id: confirm
        objectName: "chequeConfirm"
    }

    AddChequeDialog {
        id: addDialog
        onSaved: chequesRoot.refresh()
    }

    // Asks for the exchange rate an operation in another currency needs, then runs it again.
    MissingRateDialog {
        id: rateGuard
    }
}
