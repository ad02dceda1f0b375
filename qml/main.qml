import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: root

    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 700
    visible: true
    title: "Darvelinto - نظام إدارة العقارات والمحاسبة"
    color: "#08111f"
}
