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
    property var renewals: []
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
        renewals = Backend.contractModel.getDueForRenewal(60);
    }

    // Asks the main frame to show another page (page index, see components/Pages.js).
    signal pageRequested(int index)

    function followAlert(type) {
        const index = alertPages[type];
        if (index !== undefined)
            pageRequested(index);
    }


    objectName: "dashboardPage"
    color: Theme.bgPrimary
    Component.onCompleted: refresh()

    RenewalDialog {
        id: renewalDlg
        objectName: "dashboardRenewalDialog"
        parent: Overlay.overlay
        onRenewed: dashPage.refresh()
    }

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

            AlertsPanel {
                alerts: dashPage.alerts
                alertPages: dashPage.alertPages
                onFollowRequested: type => dashPage.followAlert(type)
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

                UnitsPanel {
                    occupancy: dashPage.occupancy
                    stats: dashPage.stats
                }
            }

            RenewalsPanel {
                contracts: dashPage.renewals
                depositsHeld: Number(dashPage.stats.depositsHeld || 0)
                onRenewRequested: contractId => {
                    renewalDlg.contractId = contractId;
                    renewalDlg.open();
                }
            }

            ActivityPanel {
                auditLogs: dashPage.auditLogs
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 25
                Layout.rightMargin: 25
                spacing: 15

                RecentPaymentsPanel {
                    recentPayments: dashPage.recentPayments
                }

                MaintenanceAndInsights {
                    recentMaint: dashPage.recentMaint
                    insights: dashPage.insights
                }
            }

            Item {
                Layout.preferredHeight: 20
            }
        }
    }
}
