import QtQuick
import QtTest

// Names with quotes, markup and line breaks, stored through the real tenant model, listed back and
// shown in the shared table the pages use (PagedList): each cell must show the
// name as it was typed, never as markup.
TestCase {
    id: root
    name: "HostileNames"
    width: 800
    height: 600
    when: windowShown
    visible: true

    readonly property var hostileNames: [
        "O'Brien \"Bob\" <b>Bold</b> & Co",
        "<img src=\"file:///etc/hostname\" width=\"400\"> صورة",
        "أحمد\nعلي",
        "<script>alert('x')</script>",
        "مؤسسة \"النور\" &amp; شركاه <i>",
        "=HYPERLINK(\"http://x\")",
        "<font color=\"red\" size=\"7\">Red</font> 🏠"
    ]

    Component {
        id: reference
        Text {
            textFormat: Text.PlainText
            font.pixelSize: 13
        }
    }

    function make(file, properties) {
        const component = Qt.createComponent("qrc:/qt/qml/Darvelinto/components/" + file);
        verify(component.status === Component.Ready, component.errorString());
        const object = createTemporaryObject(component, root, properties);
        verify(object, file);
        return object;
    }

    // Every Text under `item` that shows `value`.
    function textsShowing(item, value) {
        const found = [];
        const queue = [item];
        while (queue.length > 0) {
            const object = queue.shift();
            if (object.textFormat !== undefined && object.text === value)
                found.push(object);
            for (let i = 0; object.children && i < object.children.length; ++i)
                queue.push(object.children[i]);
        }
        return found;
    }

    // Shown as typed: the cell lays the name out exactly as plain text does, in size and lines.
    function verifyShownAsTyped(cell, value) {
        const plain = createTemporaryObject(reference, root, {
            "text": value,
            "font.pixelSize": cell.font.pixelSize
        });
        compare(cell.lineCount, plain.lineCount, "lines of " + JSON.stringify(value));
        compare(cell.implicitWidth, plain.implicitWidth, "width of " + JSON.stringify(value));
    }

    function storedTenant(value) {
        const id = tenantModel.add(value, "", "", "", "");
        verify(id > 0, "stored");
        const rows = tenantModel.getAll().filter(row => row.id === id);
        compare(rows.length, 1, "listed");
        compare(rows[0].full_name, value, "read back as typed");
        return rows[0];
    }

    function init_data() {
        return hostileNames.map((value, i) => ({
                    "tag": "name " + i,
                    "value": value
                }));
    }


    function test_pagedListShowsNamesAsTyped(data) {
        const tenant = storedTenant(data.value);
        const list = make("PagedList.qml", {
            "width": 760,
            "height": 300,
            "headers": ["الاسم"],
            "cells": record => [record.full_name]
        });
        list.fetch = (offset, limit) => [tenant].slice(offset, offset + limit);
        list.reload();
        compare(list.count, 1);
        waitForRendering(list);
        const cells = textsShowing(list, data.value);
        compare(cells.length, 1, "one cell shows the name");
        verifyShownAsTyped(cells[0], data.value);
    }
}
