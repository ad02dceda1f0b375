import QtQuick
import Darvelinto
import "Palette.js" as Palette

// The window's theme: every colour role of both themes, chosen by `mode`. Anything other than
// "light" (also an empty or unknown mode) gives the dark theme. The roles are bindings, so a change
// of mode recolours every page, dialog and control that reads them, without a reload.
QtObject {
    property string mode: "dark"

    readonly property bool dark: mode !== "light"
    readonly property var roles: dark ? Palette.dark : Palette.light

    readonly property color bgPrimary: roles.bgPrimary
    readonly property color bgSecondary: roles.bgSecondary
    readonly property color bgElevated: roles.bgElevated
    readonly property color bgCard: roles.bgCard
    readonly property color bgSidebar: roles.bgSidebar
    readonly property color bgInput: roles.bgInput
    readonly property color bgAccentSoft: roles.bgAccentSoft
    readonly property color accentGold: roles.accentGold
    readonly property color accentGoldLight: roles.accentGoldLight
    readonly property color accentGoldDark: roles.accentGoldDark
    readonly property color textPrimary: roles.textPrimary
    readonly property color textSecondary: roles.textSecondary
    readonly property color textMuted: roles.textMuted
    readonly property color textOnAccent: roles.textOnAccent
    readonly property color borderColor: roles.borderColor
    readonly property color borderStrong: roles.borderStrong
    readonly property color successColor: roles.successColor
    readonly property color warningColor: roles.warningColor
    readonly property color dangerColor: roles.dangerColor
    readonly property color shadowColor: roles.shadowColor
}
