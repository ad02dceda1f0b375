pragma Singleton
import QtQuick

// Every colour of the interface. The roles follow `mode`, which the window binds to the stored
// theme (Backend.settingsManager.themeMode): anything other than "light", also an empty or unknown
// mode, gives the dark theme, and a change recolours every page, dialog and control at once.
// `fixed` holds the colours that do not follow the theme (the log-in, setup and users screens,
// figure colours, status badges).
QtObject {
    property string mode: "dark"
    readonly property bool dark: mode !== "light"

    readonly property color bgPrimary: dark ? "#08111f" : "#f4f7fb"
    readonly property color bgSecondary: dark ? "#101a2c" : "#ffffff"
    readonly property color bgElevated: dark ? "#13213a" : "#eef3f9"
    readonly property color bgCard: dark ? "#111c31" : "#ffffff"
    readonly property color bgSidebar: dark ? "#09111d" : "#e8eef6"
    readonly property color bgInput: dark ? "#0a1629" : "#f7fafd"
    readonly property color bgAccentSoft: dark ? "#2e2411" : "#f6e8b8"
    readonly property color accentGold: "#c79a36"
    readonly property color accentGoldLight: "#e7c96f"
    readonly property color accentGoldDark: "#9b7420"
    readonly property color textPrimary: dark ? "#f8fbff" : "#132033"
    readonly property color textSecondary: dark ? "#9db0c9" : "#5b6b80"
    readonly property color textMuted: dark ? "#6f84a2" : "#7b8da4"
    readonly property color textOnAccent: dark ? "#08111f" : "#ffffff"
    readonly property color borderColor: dark ? "#1d304b" : "#d7e1ec"
    readonly property color borderStrong: dark ? "#33537d" : "#c4d4e5"
    readonly property color successColor: "#16a34a"
    readonly property color warningColor: "#d97706"
    readonly property color dangerColor: "#dc2626"
    readonly property color shadowColor: dark ? "#000000" : "#b7c6d8"

    // The window background: a vertical gradient and two soft circles.
    readonly property color gradientTop: dark ? "#07101d" : "#f7f9fc"
    readonly property color gradientBottom: dark ? "#0e1930" : "#eaf1f8"
    readonly property color glowOne: dark ? "#153154" : "#dce7f4"
    readonly property real glowOneOpacity: dark ? 0.16 : 0.75
    readonly property color glowTwo: dark ? "#8f6c22" : "#f3df9d"
    readonly property real glowTwoOpacity: dark ? 0.10 : 0.45

    // Every other row of a list: the fixed dark stripe in the dark theme; a dark stripe would
    // swallow the dark text of the light theme, so that one takes its own raised colour.
    readonly property color stripe: dark ? fixed.rowBg : bgElevated

    readonly property FixedColors fixed: FixedColors {}

    // Badges: label and dark fill by status or type.
    readonly property var accountTypes: ({
            "asset": {
                "label": "أصول",
                "color": fixed.badgeNavy
            },
            "liability": {
                "label": "خصوم",
                "color": fixed.badgePlum
            },
            "equity": {
                "label": "حقوق ملكية",
                "color": fixed.badgeTeal
            },
            "revenue": {
                "label": "إيرادات",
                "color": fixed.successSoft
            },
            "expense": {
                "label": "مصروفات",
                "color": fixed.warningSoft
            }
        })
    // What a journal entry was posted for (its reference type), as the journal names it.
    readonly property var entryOrigins: ({
            "invoice": {
                "label": "فاتورة",
                "color": fixed.badgeNavy
            },
            "void": {
                "label": "إلغاء فاتورة",
                "color": fixed.badgePlum
            },
            "payment": {
                "label": "دفعة مستأجر",
                "color": fixed.successSoft
            },
            "collection": {
                "label": "تحصيل قسط",
                "color": fixed.successSoft
            },
            "cheque_return": {
                "label": "شيك مرتجع",
                "color": fixed.badgePlum
            },
            "expense": {
                "label": "مصروف",
                "color": fixed.warningSoft
            },
            "sale": {
                "label": "بيع وحدة",
                "color": fixed.badgeTeal
            },
            "installment": {
                "label": "قسط مضاف",
                "color": fixed.badgeTeal
            },
            "opening": {
                "label": "رصيد افتتاحي",
                "color": fixed.badgeSlate
            },
            "manual": {
                "label": "قيد يدوي",
                "color": fixed.badgeSlate
            }
        })
    readonly property var unitStatuses: ({
            "available": {
                "label": "متاحة",
                "color": fixed.badgeGreen
            },
            "rented": {
                "label": "مؤجرة",
                "color": fixed.badgeAmber
            },
            "sold": {
                "label": "مباعة",
                "color": fixed.badgeRed
            },
            "maintenance": {
                "label": "خارج الخدمة",
                "color": fixed.badgeSlate
            }
        })
    readonly property var chequeStatuses: ({
            "paid": {
                "label": "تم الصرف",
                "color": fixed.badgeGreen
            },
            "pending": {
                "label": "معلق",
                "color": fixed.badgeAmber
            },
            "bounced": {
                "label": "مرتجع",
                "color": fixed.badgeRed
            }
        })

    readonly property var installmentStatuses: ({
            "paid": {
                "label": "مدفوع",
                "color": fixed.success,
                "background": fixed.successSoft
            },
            "partial": {
                "label": "جزئي",
                "color": fixed.warning,
                "background": fixed.warningSoft
            },
            "pending": {
                "label": "معلق",
                "color": fixed.error,
                "background": fixed.errorSoft
            }
        })

    // The badge of a unit or cheque status; an unknown status reads as the last of each table.
    function unitStatus(status) {
        return unitStatuses[status] || unitStatuses.sold;
    }

    function chequeStatus(status) {
        return chequeStatuses[status] || chequeStatuses.bounced;
    }

    // The badge of a journal entry's origin; an entry of an unknown kind reads as one by hand.
    function entryOrigin(referenceType) {
        return entryOrigins[referenceType] || entryOrigins.manual;
    }

    // Colour emoji for the few symbols that a plain text font also draws in black and white.
    readonly property string emojiFont: Qt.platform.os === "windows" ? "Segoe UI Emoji" : Qt.platform.os === "osx" ? "Apple Color Emoji" : "Noto Color Emoji"
}
