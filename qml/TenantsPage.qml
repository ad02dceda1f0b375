pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// Tenants, newest first, 50 at a time, with search; adding, importing and deleting tenants, and
// each tenant's contracts and account statement.
Rectangle {
    id: page


    // Column widths of the header and the rows, right to left; the e-mail takes what is left.
    readonly property int nameWidth: 200
    readonly property int idWidth: 130
    readonly property int phoneWidth: 130
    readonly property int contractsWidth: 70
    readonly property int actionsWidth: 190


    function refresh() {
        tenantList.reload();
    }


    function openStatement(record) {
        statementDialog.show(record.id, record.full_name);
    }

    function openContracts(record) {
        contractsDialog.tenantName = record.full_name || "";
        contractsDialog.tenantId = Number(record.id);
        contractsDialog.open();
    }

    function askRemove(record) {
        confirm.ask("حذف المستأجر", "سيتم حذف المستأجر \"" + record.full_name + "\" نهائياً.", function () {
            page.remove(record);
        });
    }

    function remove(record) {
        const id = Number(record.id);
        if (Backend.tenantModel.remove(id)) {
            refresh();
            Notifier.show("نجاح", "تم حذف المستأجر \"" + record.full_name + "\"", "success");
            return;
        }
        Notifier.show("تعذر الحذف", "لا يمكن حذف المستأجر \"" + record.full_name + "\": " + Backend.tenantModel.lastError, "error");
    }

    objectName: "tenantsPage"
    color: Theme.bgPrimary

    ConfirmDialog {
        id: confirm
        objectName: "tenantConfirmDialog"
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "إدارة المستأجرين"
            subtitle: "إدارة وتتبع جميع المستأجرين وعقودهم"

            MButton {
                objectName: "addTenantButton"
                implicitHeight: 38
                text: "مستأجر جديد"
                iconSymbol: Icons.add
                onClicked: addDlg.open()
            }
            MButton {
                objectName: "importTenantsButton"
                implicitHeight: 38
                text: "استيراد من إكسل"
                outline: true
                onClicked: importDlg.open()
            }
        }

        SearchStrip {
            id: searchStrip
            objectName: "tenantSearch"
            placeholderText: "بحث عن مستأجر (الاسم، الهاتف، رقم الهوية)..."
            onTextChanged: page.refresh()
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 14
            color: Theme.bgSecondary
            border.width: 1
            border.color: Theme.borderColor
            clip: true

            ColumnLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredHeight: 48
                    radius: 14
                    color: Theme.bgElevated

                    // Squares off the bottom corners of the rounded strip.
                    Rectangle {
                        anchors.right: parent.right
                        anchors.left: parent.left
                        anchors.bottom: parent.bottom
                        height: parent.radius
                        color: parent.color
                    }

                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 15
                        anchors.leftMargin: 15
                        spacing: 0

                        Repeater {
                            model: [
                                {
                                    "title": "الاسم",
                                    "width": page.nameWidth
                                },
                                {
                                    "title": "رقم الهوية",
                                    "width": page.idWidth
                                },
                                {
                                    "title": "الهاتف",
                                    "width": page.phoneWidth
                                },
                                {
                                    "title": "البريد",
                                    "width": 0
                                },
                                {
                                    "title": "العقود",
                                    "width": page.contractsWidth
                                },
                                {
                                    "title": "إجراءات",
                                    "width": page.actionsWidth
                                }
                            ]

                            Text {
                                required property var modelData
                                // The e-mail column takes what is left, whatever its text.
                                Layout.preferredWidth: modelData.width > 0 ? modelData.width : 1
                                Layout.fillWidth: modelData.width === 0
                                elide: Text.ElideRight
                                textFormat: Text.PlainText
                                text: modelData.title
                                color: Theme.textSecondary
                                font.pixelSize: 13
                                font.bold: true
                                horizontalAlignment: modelData.width === page.contractsWidth ? Text.AlignHCenter : Text.AlignLeft
                            }
                        }
                    }
                }

                PagedList {
                    id: tenantList
                    objectName: "tenantList"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    radius: 0
                    border.width: 0
                    searchable: false
                    panelColor: "transparent"
                    emptyText: searchStrip.text.trim().length > 0 ? "لا يوجد مستأجر يطابق البحث" : "لا يوجد مستأجرون بعد"
                    fetch: (offset, limit) => Backend.tenantModel.getPage(offset, limit, searchStrip.text.trim())
                    delegate: tenantRow
                }
            }
        }
    }

    Component {
        id: tenantRow

        Rectangle {
            id: row
            required property var record
            required property int index

            objectName: "tenantRow_" + record.id
            width: ListView.view.width
            height: 50
            color: rowHover.hovered ? Theme.bgElevated : index % 2 === 1 ? Theme.bgCard : "transparent"

            Behavior on color {
                ColorAnimation {
                    duration: 100
                }
            }
            HoverHandler {
                id: rowHover
            }

            RowLayout {
                anchors.fill: parent
                anchors.rightMargin: 15
                anchors.leftMargin: 15
                spacing: 0

                Text {
                    objectName: "tenantName"
                    Layout.preferredWidth: page.nameWidth
                    textFormat: Text.PlainText
                    text: row.record.full_name || ""
                    color: Theme.textPrimary
                    font.pixelSize: 13
                    font.bold: true
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideLeft
                }
                Text {
                    Layout.preferredWidth: page.idWidth
                    textFormat: Text.PlainText
                    text: row.record.id_number || ""
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.preferredWidth: page.phoneWidth
                    textFormat: Text.PlainText
                    text: row.record.phone || ""
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Text {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    textFormat: Text.PlainText
                    text: row.record.email || ""
                    color: Theme.textSecondary
                    font.pixelSize: 13
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                }
                Item {
                    Layout.preferredWidth: page.contractsWidth
                    Layout.fillHeight: true

                    StatusBadge {
                        objectName: "activeContracts"
                        anchors.centerIn: parent
                        status: Format.count(row.record.active_contracts) > 0 ? "active" : "none"
                        mapping: ({
                                "active": {
                                    "label": String(Format.count(row.record.active_contracts)),
                                    "color": Theme.successColor
                                },
                                "none": {
                                    "label": "0",
                                    "color": Theme.textMuted
                                }
                            })
                    }
                }
                RowLayout {
                    Layout.preferredWidth: page.actionsWidth
                    Layout.fillWidth: false
                    spacing: 8

                    MButton {
                        objectName: "statementButton"
                        Layout.preferredWidth: 64
                        implicitHeight: 32
                        leftPadding: 4
                        rightPadding: 4
                        text: "كشف"
                        outline: true
                        onClicked: page.openStatement(row.record)
                    }
                    MButton {
                        objectName: "contractsButton"
                        Layout.preferredWidth: 64
                        implicitHeight: 32
                        leftPadding: 4
                        rightPadding: 4
                        text: "العقود"
                        onClicked: page.openContracts(row.record)
                    }
                    IconButton {
                        objectName: "deleteTenantButton"
                        implicitWidth: 32
                        implicitHeight: 32
                        symbol: Icons.remove
                        btnColor: Theme.fixed.error
                        tooltip: "حذف المستأجر"
                        onClicked: page.askRemove(row.record)
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                }
            }

            Rectangle {
                anchors.right: parent.right
                anchors.left: parent.left
                anchors.bottom: parent.bottom
                height: 1
                color: Theme.borderColor
                opacity: 0.5
            }
        }
    }

    AddTenantDialog {
        id: addDlg
        onSaved: page.refresh()
    }

    ImportDialog {
        id: importDlg
        objectName: "tenantImportDialog"
        targetTable: "tenants"
    }

    ContractsDialog {
        id: contractsDialog
        objectName: "contractsDialog"
        // The rows show each tenant's active contracts.
        onEdited: page.refresh()
    }

    StatementDialog {
        id: statementDialog
        objectName: "statementDialog"
    }
}
