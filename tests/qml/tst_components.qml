import QtQuick
import QtTest

// The shared controls of qml/components, loaded from the program's resources.
AppTestCase {
    id: root
    name: "Components"
    width: 800
    height: 600

    function make(file, properties, parent) {
        const component = Qt.createComponent("qrc:/qt/qml/Darvelinto/components/" + file);
        verify(component.status === Component.Ready, component.errorString());
        const object = createTemporaryObject(component, parent || root, properties || {});
        verify(object, file);
        return object;
    }



    function test_analyticsBarsStayInsideThePanel() {
        const chart = make("AnalyticsWidget.qml", {
            "width": 600,
            "height": 250,
            "maxValue": 100,
            "data": [
                {
                    "label": "half",
                    "value": 50,
                    "color": "#16a34a"
                },
                {
                    "label": "over",
                    "value": 250,
                    "color": "#dc2626"
                },
                {
                    "label": "none",
                    "value": 0,
                    "color": "#d97706"
                }
            ]
        });
        const repeater = find("bars", chart);
        verify(repeater);
        compare(repeater.count, 3);
        const half = repeater.itemAt(0);
        const over = repeater.itemAt(1);
        compare(half.ratio, 0.5);
        compare(over.ratio, 1, "a value above maxValue is drawn at full height, not over the title");
        compare(repeater.itemAt(2).ratio, 0);
    }

    function test_statusBadgeUsesTheMapping() {
        const mapping = {
            "paid": {
                "label": "مدفوعة",
                "color": "#16a34a"
            }
        };
        const badge = make("StatusBadge.qml", {
            "status": "paid",
            "mapping": mapping
        });
        compare(badge.label, "مدفوعة");
        compare(badge.badgeColor, Qt.color("#16a34a"));
        badge.status = "void";
        compare(badge.label, "void", "an unknown status shows its own word");
        compare(badge.badgeColor, badge.fallbackColor);
        badge.fallbackLabel = "غير معروف";
        compare(badge.label, "غير معروف");
    }

    function test_pagedListLoadsPageByPage() {
        const all = [];
        for (let i = 120; i >= 1; --i)
            all.push({
                "id": i,
                "name": "row " + i
            });
        const calls = [];
        const list = make("PagedList.qml", {
            "width": 700,
            "height": 500,
            "pageSize": 50,
            "headers": ["#", "name"],
            "cells": record => [record.id, record.name]
        });
        list.fetch = (offset, limit, search) => {
            calls.push([offset, limit, search]);
            const matching = all.filter(r => search.length === 0 || r.name.indexOf(search) >= 0);
            return matching.slice(offset, offset + limit);
        };
        list.reload();
        compare(calls, [[0, 51, ""]], "one page and one row more to learn whether more exist");
        compare(list.count, 50);
        verify(list.hasMore);
        compare(list.recordAt(0).id, 120, "newest first, as the back end returns them");
        compare(list.recordAt(49).id, 71);

        mouseClick(find("loadMoreButton", list));
        compare(calls[1], [50, 51, ""]);
        compare(list.count, 100);
        verify(list.hasMore);
        list.loadMore();
        compare(list.count, 120);
        verify(!list.hasMore, "the last page is short");
        list.loadMore();
        compare(calls.length, 3, "no call once everything is shown");

        // Searching starts again from the first page with the search text.
        const search = find("pagedListSearch", list);
        search.text = "row 11";
        search.accepted();
        compare(calls[calls.length - 1], [0, 51, "row 11"]);
        compare(list.count, 11); // row 11 and row 110..119
        verify(!list.hasMore);
        compare(find("pagedListCount", list).text, "عدد السجلات: 11");
    }

    function test_pagedListCustomDelegateFromABoundPage() {
        // Pages use `pragma ComponentBehavior: Bound` and hand the list a row component of their own.
        const page = Qt.createQmlObject(`
            pragma ComponentBehavior: Bound
            import QtQuick
            import "qrc:/qt/qml/Darvelinto/components"
            Item {
                width: 500
                height: 400
                PagedList {
                    objectName: "list"
                    anchors.fill: parent
                    searchable: false
                    delegate: row
                    fetch: (offset, limit) => [{ "id": 7 }, { "id": 6 }].slice(offset, offset + limit)
                }
                Component {
                    id: row
                    Rectangle {
                        required property var record
                        required property int index
                        objectName: "custom_" + record.id
                        width: ListView.view.width
                        height: 30
                    }
                }
            }`, root);
        const list = find("list", page);
        list.reload();
        compare(list.count, 2);
        verify(!list.hasMore);
        tryVerify(() => list.view.itemAtIndex(1) !== null);
        compare(list.view.itemAtIndex(0).objectName, "custom_7");
        compare(list.view.itemAtIndex(1).objectName, "custom_6");
        page.destroy();
    }

    function test_confirmDialogRunsTheActionOnlyWhenConfirmed() {
        const dialog = make("ConfirmDialog.qml");
        let ran = 0;
        const cancelled = signalSpy.createObject(root, {
            "target": dialog,
            "signalName": "cancelled"
        });
        dialog.ask("حذف", "سيتم الحذف", () => ++ran);
        waitOpened(dialog);
        compare(find("confirmMessage", dialog).text, "سيتم الحذف");
        mouseClick(find("cancelButton", dialog));
        waitClosed(dialog);
        compare(ran, 0);
        compare(cancelled.count, 1);

        dialog.ask("حذف", "سيتم الحذف", () => ++ran);
        waitOpened(dialog);
        mouseClick(find("confirmButton", dialog));
        waitClosed(dialog);
        compare(ran, 1);
        compare(cancelled.count, 1, "confirming is not cancelling");

        // Closing with the header's close button forgets the action.
        dialog.ask("حذف", "سيتم الحذف", () => ++ran);
        waitOpened(dialog);
        mouseClick(find("dialogCloseButton", dialog));
        waitClosed(dialog);
        compare(ran, 1);
        compare(cancelled.count, 2);
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }

    function test_pageHeaderLaysOutItsButtons() {
        const header = Qt.createQmlObject(`
            import QtQuick
            import "qrc:/qt/qml/Darvelinto/components"
            PageHeader {
                width: 700
                title: "العنوان"
                MButton { objectName: "first"; text: "واحد" }
                MButton { objectName: "second"; text: "اثنان" }
            }`, root);
        waitForRendering(header);
        const first = find("first", header);
        const second = find("second", header);
        verify(first && second);
        verify(second.mapToItem(header, 0, 0).x + second.width <= first.mapToItem(header, 0, 0).x,
            "buttons sit side by side, right to left");
        verify(first.mapToItem(header, 0, 0).x + first.width < header.width / 2, "to the left of the titles");
        header.destroy();
    }

    function test_dialogContentGoesUnderTheHeader() {
        const dialog = Qt.createQmlObject(`
            import QtQuick
            import "qrc:/qt/qml/Darvelinto/components"
            MDialog {
                title: "عنوان"
                width: 400
                height: 300
                Rectangle { objectName: "inside"; anchors.fill: parent }
            }`, root);
        dialog.open();
        waitOpened(dialog);
        const inside = find("inside", dialog);
        verify(inside);
        const topLeft = inside.mapToItem(dialog.contentItem, 0, 0);
        compare(topLeft.y, 1 + 56 + 25, "content starts 25 under the 56-high header (inside the 1-wide border)");
        compare(inside.width, 400 - 50);
        dialog.close();
        waitClosed(dialog);
        dialog.destroy();
    }

    function test_buttonLooks() {
        const button = make("MButton.qml", {
            "text": "حفظ",
            "width": 120
        });
        waitForRendering(button);
        compare(button.height, 40);
        compare(button.btnColor, Qt.color("#c79a36"), "light fallback gold outside the window");
        compare(button.foreground, button.textColor);
        button.outline = true;
        compare(button.foreground, button.btnColor);
        let clicks = 0;
        button.clicked.connect(() => ++clicks);
        mouseClick(button);
        compare(clicks, 1);
        button.enabled = false;
        mouseClick(button);
        compare(clicks, 1, "a disabled button does nothing");
    }
}
