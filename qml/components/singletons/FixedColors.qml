import QtQuick

// The colours that do not follow the theme; reached as Theme.fixed.
QtObject {
    // Screens drawn dark whatever the theme: log-in, first-run setup, users.
    readonly property color pageBg: "#0a0e1a"        // page and field background, dark text on gold
    readonly property color card: "#111827"
    readonly property color cardBorder: "#1e293b"    // also the idle field border
    readonly property color gold: "#d4a843"
    readonly property color goldLight: "#e8c76a"
    readonly property color goldDark: "#b8922e"
    readonly property color goldText: "#C5A059"
    readonly property color textPrimary: "#ffffff"
    readonly property color textBright: "#f8fafc"
    readonly property color textCell: "#e2e8f0"
    readonly property color textSecondary: "#94a3b8"
    readonly property color textMuted: "#64748b"
    readonly property color textFaint: "#475569"     // footer line, idle radio ring
    readonly property color error: "#ef4444"
    readonly property color rowBg: "#0d1120"         // list rows, odd table rows, the dark stripe
    readonly property color rowSelected: "#1a2340"   // chosen row, row under the mouse
    readonly property color tableHeader: "#0f1328"

    // Figures and statuses: a good figure, a warning, a bad one, and the dark pill behind each.
    readonly property color success: "#22c55e"
    readonly property color warning: "#f59e0b"
    readonly property color info: "#60a5fa"
    readonly property color successSoft: "#1a2e1a"
    readonly property color warningSoft: "#2e2a1a"
    readonly property color errorSoft: "#2e1a1a"
    readonly property color installments: "#818cf8"
    readonly property color assets: "#06b6d4"
    readonly property color overdueCard: "#1e1a1a"

    // Badge fills under white text.
    readonly property color badgeGreen: "#064e3b"
    readonly property color badgeAmber: "#78350f"
    readonly property color badgeRed: "#7f1d1d"
    readonly property color badgeNavy: "#1a2340"
    readonly property color badgePlum: "#2e1a2a"
    readonly property color badgeTeal: "#1a2a2e"
    readonly property color badgeSlate: "#334155"
}
