pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Darvelinto
import "components/Pages.js" as Pages

// The overview the user sees first: head figures, the alerts with a jump to the page that deals
// with each, the takings of the last six months, the occupancy ring, the latest audit entries,
// payments and maintenance requests, and the first insights. Read only. Everything is read again
// whenever the page is shown, so a payment recorded on another page shows here at once.
Rectangle {
    id: dashPage


    property var stats: ({})
    property var recentPayments: []
    property var recentMaint: []
    property var insights: []
    property var alerts: []
    property var auditLogs: []
    property var collections: []
    property real occupancy: 0

    // The chart's bars: the real takings per month, the current month in amber.
    readonly property var collectionBars: collections.map((month, i) => ({
                "label": month.label,
                "value": Number(month.value) || 0,
                "color": i === collections.length - 1 ? Theme.fixed.warning : Theme.fixed.goldText
            }))
    readonly property real collectionsMax: collectionBars.reduce((top, bar) => Math.max(top, bar.value), 0)

    // Where each kind of alert is dealt with: invoices are paid on the payments page, installments
    // are collected on the buyers page, cheques on the cheques page, contracts on the tenants page.
    readonly property var alertPages: ({
            "rent_invoice": Pages.payments,
            "payment_due": Pages.buyers,
            "overdue": Pages.buyers,
            "cheque": Pages.cheques,
            "contract": Pages.tenants
        })

    function refresh() {
        stats = Backend.dashboardCtrl.getStats();
        recentPayments = Backend.dashboardCtrl.getRecentPayments(5);
        recentMaint = Backend.dashboardCtrl.getRecentMaintenance(3);
        insights = Backend.reportCtrl.getAIInsights();
        alerts = Backend.notifyCtrl.getActiveAlerts();
        occupancy = Backend.dashboardCtrl.getOccupancyRate();
        auditLogs = Backend.auditMgr.getLogs(5);
        collections = Backend.dashboardCtrl.getMonthlyCollections(6);
    }

    // Asks the main frame to show another page (page index, see components/Pages.js).
    signal pageRequested(int index)

    function followAlert(type) {
        const index = alertPages[type];
        if (index !== undefined)
            pageRequested(index);
    }

    function place(record) {
        const parts = [record.property_name, record.unit_number].filter(part => part !== undefined && part !== null && String(part).length > 0);
        return parts.join(" - ");
    }

    objectName: "dashboardPage"
    color: Theme.bgPrimary
    Component.onCompleted: refresh()

    Flickable {
        id: scroller
        objectName: "dashboardScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar {}

        ColumnLayout {
            id: column
            width: scroller.width
            spacing: 20

            PageHeader {
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                Layout.topMargin: 25
                title: "لوحة التحكم"
                subtitle: "مرحباً بك في نظام Darvelinto لإدارة العقارات"
            }

            GridLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                columns: 4
                rowSpacing: 15
                columnSpacing: 15

                StatsCard {
                    objectName: "cardProperties"
                    title: "إجمالي العقارات"
                    value: String(Format.count(dashPage.stats.totalProperties))
                    icon: Icons.properties
                    iconBg: Theme.fixed.cardBorder
                    iconColor: Theme.fixed.goldText
                }
                StatsCard {
                    objectName: "cardTenants"
                    title: "المستأجرون النشطون"
                    value: String(Format.count(dashPage.stats.activeTenants))
                    icon: Icons.tenants
                    iconBg: Theme.fixed.cardBorder
                    iconColor: Theme.fixed.info
                }
                StatsCard {
                    objectName: "cardOccupancy"
                    title: "نسبة الإشغال"
                    value: Format.percent(dashPage.stats.occupancyRate)
                    icon: Icons.occupancy
                    iconBg: Theme.fixed.cardBorder
                    iconColor: Theme.fixed.success
                }
                StatsCard {
                    objectName: "cardRevenue"
                    title: "الإيرادات الشهرية"
                    value: Format.amount(dashPage.stats.monthlyRevenue)
                    icon: Icons.payments
                    iconBg: Theme.fixed.cardBorder
                    iconColor: Theme.fixed.warning
                }
            }

            Rectangle {
                objectName: "alertsPanel"
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                Layout.preferredHeight: alertsColumn.implicitHeight + 40
                visible: dashPage.alerts.length > 0
                radius: 14
                color: Theme.bgSecondary
                border.width: 1
                border.color: Theme.borderColor

                ColumnLayout {
                    id: alertsColumn
                    anchors.fill: parent
                    anchors.margins: 20
                    spacing: 12

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8

                        Text {
                            text: Icons.alerts
                            color: Theme.dangerColor
                            font.pixelSize: 18
                            font.family: Icons.family
                        }
                        Text {
                            Layout.fillWidth: true
                            textFormat: Text.PlainText
                            text: "تنبيهات هامة (" + dashPage.alerts.length + ")"
                            color: Theme.dangerColor
                            font.pixelSize: 16
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                    }

                    ListView {
                        id: alertList
                        objectName: "alertList"
                        Layout.fillWidth: true
                        // As tall as the alerts, up to four rows; more scroll inside the panel.
                        Layout.preferredHeight: Math.min(contentHeight, 4 * 50 + 3 * 6)
                        spacing: 6
                        clip: true
                        reuseItems: true
                        boundsBehavior: Flickable.StopAtBounds
                        interactive: contentHeight > height
                        model: dashPage.alerts
                        ScrollBar.vertical: ScrollBar {}

                        delegate: Rectangle {
                            id: alertRow
                            required property var modelData
                            required property int index

                            objectName: "alertRow_" + index
                            width: ListView.view.width
                            height: 50
                            radius: 8
                            color: Theme.bgCard
                            border.width: 1
                            border.color: modelData.severity === "high" || modelData.severity === "critical" ? Theme.dangerColor : Theme.borderColor

                            RowLayout {
                                anchors.fill: parent
                                anchors.rightMargin: 12
                                anchors.leftMargin: 12
                                spacing: 12

                                Text {
                                    Layout.fillWidth: true
                                    textFormat: Text.PlainText
                                    text: Format.inOrder(alertRow.modelData.title)
                                    color: Theme.textPrimary
                                    font.pixelSize: 13
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideLeft
                                }
                                Text {
                                    Layout.maximumWidth: 360
                                    textFormat: Text.PlainText
                                    text: Format.inOrder(alertRow.modelData.detail)
                                    color: Theme.textSecondary
                                    font.pixelSize: 12
                                    horizontalAlignment: Text.AlignLeft
                                    elide: Text.ElideLeft
                                }
                                MButton {
                                    objectName: "followAlertButton"
                                    Layout.preferredWidth: 70
                                    Layout.preferredHeight: 28
                                    implicitHeight: 28
                                    leftPadding: 6
                                    rightPadding: 6
                                    text: "متابعة"
                                    font.pixelSize: 12
                                    btnColor: Theme.bgElevated
                                    textColor: Theme.textPrimary
                                    enabled: dashPage.alertPages[alertRow.modelData.type] !== undefined
                                    onClicked: dashPage.followAlert(alertRow.modelData.type)
                                }
                            }
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                spacing: 20

                AnalyticsWidget {
                    id: collectionChart
                    objectName: "collectionChart"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 2
                    title: "معدلات التحصيل (آخر 6 شهور)"
                    data: dashPage.collectionBars
                    // Bars are scaled to the best month; with no takings at all they stay flat.
                    maxValue: dashPage.collectionsMax > 0 ? dashPage.collectionsMax : 1
                }

                Rectangle {
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    Layout.preferredHeight: 250
                    radius: 14
                    color: Theme.bgSecondary
                    border.width: 1
                    border.color: Theme.borderColor

                    Text {
                        id: unitsHeading
                        anchors.top: parent.top
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.margins: 20
                        text: "حالة الوحدات"
                        color: Theme.textPrimary
                        font.pixelSize: 16
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                    }

                    Item {
                        anchors.top: unitsHeading.bottom
                        anchors.bottom: parent.bottom
                        anchors.right: parent.right
                        anchors.left: parent.left
                        anchors.bottomMargin: 10

                        OccupancyRing {
                            id: ring
                            objectName: "occupancyRing"
                            anchors.centerIn: parent
                            width: 140
                            height: 140
                            rate: dashPage.occupancy

                            Column {
                                anchors.centerIn: parent
                                spacing: 0

                                Text {
                                    objectName: "ringValue"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    textFormat: Text.PlainText
                                    text: Math.round(dashPage.occupancy) + "%"
                                    color: Theme.textPrimary
                                    font.pixelSize: 32
                                    font.bold: true
                                }
                                Text {
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: "نسبة الإشغال"
                                    color: Theme.textSecondary
                                    font.pixelSize: 11
                                }
                            }
                        }
                    }
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                Layout.preferredHeight: activityColumn.implicitHeight + 40
                radius: 14
                color: Theme.bgSecondary
                border.width: 1
                border.color: Theme.borderColor

                ColumnLayout {
                    id: activityColumn
                    anchors.fill: parent
                    anchors.margins: 20
                    spacing: 10

                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8

                        Text {
                            text: Icons.history
                            color: Theme.accentGold
                            font.pixelSize: 16
                            font.family: Icons.family
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "آخر العمليات"
                            color: Theme.textSecondary
                            font.pixelSize: 14
                            font.bold: true
                            horizontalAlignment: Text.AlignLeft
                        }
                    }

                    Text {
                        Layout.fillWidth: true
                        visible: dashPage.auditLogs.length === 0
                        text: "لا توجد عمليات مسجلة بعد"
                        color: Theme.textMuted
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }

                    Repeater {
                        objectName: "activityList"
                        model: dashPage.auditLogs

                        RowLayout {
                            id: activityRow
                            required property var modelData

                            Layout.fillWidth: true
                            spacing: 12

                            Text {
                                Layout.preferredWidth: 80
                                textFormat: Text.PlainText
                                text: activityRow.modelData.username || "النظام"
                                color: Theme.accentGold
                                font.pixelSize: 12
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                textFormat: Text.PlainText
                                text: activityRow.modelData.action || ""
                                color: Theme.textPrimary
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                                elide: Text.ElideLeft
                            }
                            Text {
                                textFormat: Text.PlainText
                                text: activityRow.modelData.created_at || ""
                                color: Theme.textMuted
                                font.pixelSize: 10
                            }
                        }
                    }
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                spacing: 15

                Rectangle {
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
                            visible: dashPage.recentPayments.length === 0
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
                            model: dashPage.recentPayments

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
                                        text: dashPage.place(paymentRow.modelData)
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

                ColumnLayout {
                    Layout.preferredWidth: 300
                    Layout.maximumWidth: 300
                    Layout.alignment: Qt.AlignTop
                    spacing: 15

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 175
                        radius: 14
                        color: Theme.bgSecondary
                        border.width: 1
                        border.color: Theme.borderColor

                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 16
                            spacing: 8

                            Text {
                                Layout.fillWidth: true
                                text: "طلبات الصيانة"
                                color: Theme.accentGold
                                font.pixelSize: 14
                                font.bold: true
                                horizontalAlignment: Text.AlignLeft
                            }
                            Text {
                                Layout.fillWidth: true
                                visible: dashPage.recentMaint.length === 0
                                text: "لا توجد طلبات صيانة"
                                color: Theme.textMuted
                                font.pixelSize: 12
                                horizontalAlignment: Text.AlignLeft
                            }
                            Repeater {
                                objectName: "maintenanceList"
                                model: dashPage.recentMaint

                                RowLayout {
                                    id: maintRow
                                    required property var modelData

                                    Layout.fillWidth: true
                                    spacing: 8

                                    Rectangle {
                                        Layout.alignment: Qt.AlignTop
                                        Layout.topMargin: 5
                                        Layout.preferredWidth: 8
                                        Layout.preferredHeight: 8
                                        radius: 4
                                        color: maintRow.modelData.status === "new" ? Theme.fixed.error : maintRow.modelData.status === "in_progress" ? Theme.fixed.warning : Theme.fixed.success
                                    }
                                    ColumnLayout {
                                        Layout.fillWidth: true
                                        spacing: 0

                                        Text {
                                            Layout.fillWidth: true
                                            textFormat: Text.PlainText
                                            text: maintRow.modelData.title || ""
                                            color: Theme.textPrimary
                                            font.pixelSize: 12
                                            horizontalAlignment: Text.AlignLeft
                                            elide: Text.ElideLeft
                                        }
                                        Text {
                                            Layout.fillWidth: true
                                            textFormat: Text.PlainText
                                            text: dashPage.place(maintRow.modelData)
                                            color: Theme.textMuted
                                            font.pixelSize: 11
                                            horizontalAlignment: Text.AlignLeft
                                            elide: Text.ElideLeft
                                        }
                                    }
                                }
                            }
                            Item {
                                Layout.fillHeight: true
                            }
                        }
                    }

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.preferredHeight: 155
                        radius: 14
                        color: Theme.bgSecondary
                        border.width: 1
                        border.color: Theme.borderColor

                        ColumnLayout {
                            anchors.fill: parent
                            anchors.margins: 16
                            spacing: 8

                            RowLayout {
                                Layout.fillWidth: true
                                spacing: 6

                                Text {
                                    text: Icons.revenue
                                    color: Theme.accentGold
                                    font.pixelSize: 16
                                    font.family: Icons.family
                                }
                                Text {
                                    Layout.fillWidth: true
                                    text: "تحليلات ذكية"
                                    color: Theme.accentGold
                                    font.pixelSize: 14
                                    font.bold: true
                                    horizontalAlignment: Text.AlignLeft
                                }
                            }
                            Repeater {
                                objectName: "insightList"
                                model: dashPage.insights.slice(0, 2)

                                RowLayout {
                                    id: insightRow
                                    required property var modelData

                                    Layout.fillWidth: true
                                    spacing: 8

                                    Text {
                                        Layout.alignment: Qt.AlignTop
                                        textFormat: Text.PlainText
                                        text: insightRow.modelData.icon || ""
                                        font.pixelSize: 14
                                        font.family: Theme.emojiFont
                                    }
                                    ColumnLayout {
                                        Layout.fillWidth: true
                                        spacing: 2

                                        Text {
                                            Layout.fillWidth: true
                                            textFormat: Text.PlainText
                                            text: insightRow.modelData.title || ""
                                            color: Theme.textPrimary
                                            font.pixelSize: 12
                                            font.bold: true
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                        Text {
                                            Layout.fillWidth: true
                                            textFormat: Text.PlainText
                                            text: insightRow.modelData.description || ""
                                            color: Theme.textSecondary
                                            font.pixelSize: 10
                                            wrapMode: Text.Wrap
                                            maximumLineCount: 2
                                            elide: Text.ElideLeft
                                            horizontalAlignment: Text.AlignLeft
                                        }
                                    }
                                }
                            }
                            Item {
                                Layout.fillHeight: true
                            }
                        }
                    }
                }
            }

            Item {
                Layout.preferredHeight: 20
            }
        }
    }
}
