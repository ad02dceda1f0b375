pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Darvelinto

// One property as a card: name, type and place, its status, the counts of its units (let, sold,
// out of service), occupancy and monthly takings, with the buttons to manage its units and to
// delete it. The page does both.
Item {
    id: cell

    required property var record
    required property int index

    readonly property var statuses: ({
            "soldOut": {
                "label": "مباعة بالكامل",
                "color": Theme.fixed.warning
            },
            "active": {
                "label": "نشط",
                "color": Theme.fixed.success
            },
            "inactive": {
                "label": "غير نشط",
                "color": Theme.fixed.error
            }
        })

    signal unitsRequested(var record)
    signal removeRequested(var record)

    function typeLabel(type) {
        return type === "residential" ? "سكني" : type === "commercial" ? "تجاري" : "مختلط";
    }

    function statusKey(record) {
        const total = Format.count(record.total_units);
        if (total > 0 && Format.count(record.sold_units) >= total)
            return "soldOut";
        return record.status === "active" ? "active" : "inactive";
    }

    // Rented and sold units both count as taken, of the units in service: one under repair is
    // counted apart.
    function occupancy(record) {
        const total = Format.count(record.total_units) - Format.count(record.maintenance_units);
        if (total <= 0)
            return 0;
        return Math.round((Format.count(record.rented_units) + Format.count(record.sold_units)) / total * 100);
    }

    // A number over its caption in a card's row of figures.
    component CardFigure: ColumnLayout {
        property string value: "0"
        property string caption: ""
        property color valueColor: Theme.textPrimary
        readonly property string text: value

        spacing: 0

        Text {
            Layout.alignment: Qt.AlignHCenter
            textFormat: Text.PlainText
            text: parent.value
            color: parent.valueColor
            font.pixelSize: 16
            font.bold: true
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            textFormat: Text.PlainText
            text: parent.caption
            color: Theme.fixed.textMuted
            font.pixelSize: 10
        }
    }

    width: (GridView.view as GridView).cellWidth
    height: (GridView.view as GridView).cellHeight

    Rectangle {
        id: card
        objectName: "propertyCard_" + cell.record.id
        anchors.fill: parent
        anchors.margins: 8
        radius: 14
        color: Theme.bgSecondary
        border.width: 1
        border.color: cardHover.hovered ? Theme.accentGold : Theme.borderColor

        Behavior on border.color {
            ColorAnimation {
                duration: 200
            }
        }
        HoverHandler {
            id: cardHover
        }

        ColumnLayout {
            anchors.fill: parent
            anchors.margins: 18
            spacing: 10

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2

                    Text {
                        objectName: "propertyName"
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: cell.record.name || ""
                        color: Theme.textPrimary
                        font.pixelSize: 17
                        font.bold: true
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                    Text {
                        objectName: "propertyType"
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: cell.typeLabel(cell.record.type)
                        color: Theme.textSecondary
                        font.pixelSize: 12
                        horizontalAlignment: Text.AlignLeft
                    }
                    Text {
                        Layout.fillWidth: true
                        textFormat: Text.PlainText
                        text: [cell.record.city, cell.record.address].filter(part => part && String(part).length > 0).join(" - ")
                        color: Theme.textMuted
                        font.pixelSize: 11
                        horizontalAlignment: Text.AlignLeft
                        elide: Text.ElideLeft
                    }
                }

                StatusBadge {
                    objectName: "propertyBadge"
                    Layout.alignment: Qt.AlignTop
                    Layout.preferredWidth: 85
                    Layout.preferredHeight: 26
                    status: cell.statusKey(cell.record)
                    mapping: cell.statuses
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.preferredHeight: 1
                color: Theme.borderColor
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 12

                CardFigure {
                    objectName: "figureUnits"
                    value: String(Format.count(cell.record.total_units))
                    caption: "وحدة"
                }
                CardFigure {
                    objectName: "figureRented"
                    value: String(Format.count(cell.record.rented_units))
                    caption: "مؤجرة"
                }
                CardFigure {
                    objectName: "figureSold"
                    value: String(Format.count(cell.record.sold_units))
                    caption: "مباعة"
                    valueColor: Theme.accentGold
                }
                CardFigure {
                    objectName: "figureOutOfService"
                    visible: Format.count(cell.record.maintenance_units) > 0
                    value: String(Format.count(cell.record.maintenance_units))
                    caption: "خارج الخدمة"
                    valueColor: Theme.textMuted
                }
                CardFigure {
                    objectName: "figureOccupancy"
                    value: cell.occupancy(cell.record) + "%"
                    caption: "إشغال"
                }

                Item {
                    Layout.fillWidth: true
                }

                ColumnLayout {
                    spacing: 0

                    Text {
                        Layout.alignment: Qt.AlignRight
                        text: "الإيرادات الشهرية"
                        color: Theme.textMuted
                        font.pixelSize: 11
                    }
                    Text {
                        objectName: "figureRevenue"
                        Layout.alignment: Qt.AlignRight
                        textFormat: Text.PlainText
                        text: Format.amount(cell.record.monthly_revenue)
                        color: Theme.accentGold
                        font.pixelSize: 15
                        font.bold: true
                    }
                }
            }

            Item {
                Layout.fillHeight: true
            }

            RowLayout {
                Layout.fillWidth: true
                spacing: 10

                MButton {
                    objectName: "manageUnitsButton"
                    Layout.fillWidth: true
                    text: "إدارة الوحدات"
                    onClicked: cell.unitsRequested(cell.record)
                }
                IconButton {
                    objectName: "deletePropertyButton"
                    symbol: Icons.remove
                    btnColor: Theme.fixed.error
                    tooltip: "حذف العقار"
                    onClicked: cell.removeRequested(cell.record)
                }
            }
        }
    }
}
