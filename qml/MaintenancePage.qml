pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto

// Maintenance requests: the list with its status filters, raising a request against a unit and
// completing one with its cost (which books the cost as an expense of the property). Drawn in
// fixed dark colours whatever the theme; the dialogs follow the theme.
Rectangle {
    id: page


    property var requests: []
    property string statusFilter: ""

    readonly property var filters: [
        {
            "label": "الكل",
            "status": "",
            "color": Theme.fixed.gold
        },
        {
            "label": "جديد",
            "status": "new",
            "color": Theme.fixed.error
        },
        {
            "label": "قيد التنفيذ",
            "status": "in_progress",
            "color": Theme.fixed.warning
        },
        {
            "label": "مكتمل",
            "status": "completed",
            "color": Theme.fixed.success
        }
    ]
    readonly property var priorities: ({
            "high": {
                "label": "عاجل",
                "color": Theme.fixed.error,
                "background": Theme.fixed.errorSoft
            },
            "medium": {
                "label": "متوسط",
                "color": Theme.fixed.warning,
                "background": Theme.fixed.warningSoft
            },
            "low": {
                "label": "منخفض",
                "color": Theme.fixed.success,
                "background": Theme.fixed.successSoft
            }
        })
    readonly property var priorityChoices: [
        {
            "label": "منخفضة",
            "value": "low"
        },
        {
            "label": "متوسطة",
            "value": "medium"
        },
        {
            "label": "عالية",
            "value": "high"
        }
    ]

    // Shows the requests of one status ("" for all).
    function applyFilter(status) {
        statusFilter = status;
        requests = status.length > 0 ? Backend.maintenanceModel.getByStatus(status) : Backend.maintenanceModel.getAll();
    }

    // After an action the full list is shown again, so the request just raised or completed is in view.
    function refresh() {
        applyFilter("");
    }




    function saveRequest() {
        const unit = unitBox.currentEntry;
        if (!unit) {
            Notifier.refuse("اختر الوحدة");
            return;
        }
        const title = requestTitle.text.trim();
        if (title.length === 0) {
            Notifier.refuse("أدخل عنوان الطلب");
            return;
        }
        const priority = page.priorityChoices[Math.max(0, priorityBox.currentIndex)].value;
        const id = Backend.maintenanceModel.add(unit.id, unit.property_id, title, requestDescription.text.trim(), priority);
        if (id <= 0) {
            Notifier.refuse(Backend.maintenanceModel.lastError);
            return;
        }
        requestTitle.text = "";
        requestDescription.text = "";
        refresh();
        requestDialog.close();
        Notifier.show("نجاح", "تم تسجيل طلب الصيانة \"" + title + "\" للوحدة " + unit.unit_number, "success");
    }

    function askCompletion(record) {
        completeDialog.requestId = record.id;
        completeDialog.requestTitle = record.title || "";
        costField.text = "";
        completeDialog.open();
    }

    function completeRequest() {
        const cost = Format.notNegative(costField.text);
        if (isNaN(cost)) {
            Notifier.refuse(Format.notNegativeRequired("تكلفة الصيانة"));
            return;
        }
        if (!Backend.maintenanceModel.complete(completeDialog.requestId, cost)) {
            Notifier.refuse(Backend.maintenanceModel.lastError);
            refresh();
            return;
        }
        refresh();
        completeDialog.close();
        Notifier.show("نجاح", "تم إكمال الطلب وتسجيل تكلفته " + Format.amount(cost) + " في المصروفات", "success");
    }

    objectName: "maintenancePage"
    color: Theme.fixed.pageBg

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 25
        spacing: 20

        PageHeader {
            title: "الصيانة"
            subtitle: "إدارة طلبات الصيانة والإصلاحات"
            titleColor: Theme.fixed.textPrimary
            subtitleColor: Theme.fixed.textSecondary

            MButton {
                objectName: "addRequestButton"
                text: "طلب صيانة"
                iconSymbol: Icons.add
                onClicked: requestDialog.open()
            }
        }

        Row {
            Layout.fillWidth: true
            spacing: 10

            Repeater {
                model: page.filters

                AbstractButton {
                    id: filterButton
                    required property var modelData
                    readonly property bool chosen: page.statusFilter === modelData.status
                    readonly property color tone: modelData.color

                    objectName: "filter_" + (modelData.status || "all")
                    width: Math.max(80, filterButton.implicitContentWidth + 32)
                    height: 36
                    hoverEnabled: true
                    onClicked: page.applyFilter(modelData.status)

                    background: Rectangle {
                        radius: 8
                        color: filterButton.chosen ? Qt.rgba(filterButton.tone.r, filterButton.tone.g, filterButton.tone.b, 0.18) : Theme.fixed.card
                        border.width: filterButton.chosen ? 2 : 1
                        border.color: filterButton.tone
                    }
                    contentItem: Text {
                        text: filterButton.modelData.label
                        color: filterButton.tone
                        font.pixelSize: 13
                        font.bold: filterButton.chosen
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            radius: 14
            color: Theme.fixed.card
            border.width: 1
            border.color: Theme.fixed.cardBorder
            clip: true

            ListView {
                id: requestList
                objectName: "requestList"
                anchors.fill: parent
                anchors.margins: 15
                spacing: 8
                clip: true
                reuseItems: true
                boundsBehavior: Flickable.StopAtBounds
                model: page.requests
                ScrollBar.vertical: ScrollBar {}

                delegate: RequestCard {
                    priorities: page.priorities
                    statusFilter: page.statusFilter
                    onCompleteRequested: record => page.askCompletion(record)
                }

                Text {
                    anchors.centerIn: parent
                    visible: requestList.count === 0
                    textFormat: Text.PlainText
                    text: page.statusFilter.length > 0 ? "لا توجد طلبات بهذه الحالة" : "لا توجد طلبات صيانة"
                    color: Theme.fixed.textMuted
                    font.pixelSize: 14
                }
            }
        }
    }

    MDialog {
        id: requestDialog

        property var units: []

        objectName: "requestDialog"
        title: "طلب صيانة جديد"
        width: 450
        height: 500
        onAboutToShow: {
            const chosen = unitBox.currentEntry ? unitBox.currentEntry.id : undefined;
            units = Backend.unitModel.getAll();
            const again = chosen === undefined ? -1 : unitBox.indexWhere(unit => unit.id === chosen);
            unitBox.currentIndex = again >= 0 ? again : (units.length > 0 ? 0 : -1);
        }

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Text {
                Layout.fillWidth: true
                text: "اختر الوحدة"
                color: Theme.fixed.textSecondary
                font.pixelSize: 13
                horizontalAlignment: Text.AlignLeft
            }
            ChoiceBox {
                id: unitBox
                objectName: "requestUnitBox"
                Layout.fillWidth: true
                model: requestDialog.units
                textFor: unit => (unit.property_name || "") + " - " + unit.unit_number
                placeholder: requestDialog.units.length === 0 ? "لا توجد وحدات" : "اختر وحدة..."
            }
            MTextField {
                id: requestTitle
                objectName: "requestTitle"
                Layout.fillWidth: true
                label: "عنوان الطلب"
            }
            MTextField {
                id: requestDescription
                objectName: "requestDescription"
                Layout.fillWidth: true
                label: "الوصف"
            }
            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                Text {
                    text: "الأولوية:"
                    color: Theme.fixed.textSecondary
                    font.pixelSize: 13
                }
                ChoiceBox {
                    id: priorityBox
                    objectName: "requestPriorityBox"
                    Layout.fillWidth: true
                    model: page.priorityChoices
                    textRole: "label"
                }
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "saveRequestButton"
                Layout.fillWidth: true
                text: "حفظ الطلب"
                onClicked: page.saveRequest()
            }
        }
    }

    MDialog {
        id: completeDialog

        property int requestId: 0
        property string requestTitle: ""

        objectName: "completeDialog"
        title: "إكمال طلب الصيانة"
        width: 380
        height: 290

        ColumnLayout {
            anchors.fill: parent
            spacing: 12

            Text {
                Layout.fillWidth: true
                textFormat: Text.PlainText
                text: completeDialog.requestTitle
                color: Theme.textPrimary
                font.pixelSize: 14
                font.bold: true
                horizontalAlignment: Text.AlignLeft
                elide: Text.ElideRight
            }
            MTextField {
                id: costField
                objectName: "completionCost"
                Layout.fillWidth: true
                label: "تكلفة الصيانة"
                placeholderText: "0.00"
                onAccepted: page.completeRequest()
            }
            Item {
                Layout.fillHeight: true
            }
            MButton {
                objectName: "confirmCompletionButton"
                Layout.fillWidth: true
                text: "تأكيد الإكمال"
                onClicked: page.completeRequest()
            }
        }
    }
}
