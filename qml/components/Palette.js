// Colour tables of the interface, kept in one place.
//
// `dark` and `light` are the two themes (AppTheme.qml binds its roles to them); `light` is also the
// fallback of a shared control that is used outside the main window. `fixed` holds the dark colours
// of the screens that do not follow the theme (log-in, first-run setup, users, and the dark
// panels of DataTable and AnalyticsWidget).
.pragma library

var dark = {
    dark: true,
    bgPrimary: "#08111f",
    bgSecondary: "#101a2c",
    bgElevated: "#13213a",
    bgCard: "#111c31",
    bgSidebar: "#09111d",
    bgInput: "#0a1629",
    bgAccentSoft: "#2e2411",
    accentGold: "#c79a36",
    accentGoldLight: "#e7c96f",
    accentGoldDark: "#9b7420",
    textPrimary: "#f8fbff",
    textSecondary: "#9db0c9",
    textMuted: "#6f84a2",
    textOnAccent: "#08111f",
    borderColor: "#1d304b",
    borderStrong: "#33537d",
    successColor: "#16a34a",
    warningColor: "#d97706",
    dangerColor: "#dc2626",
    shadowColor: "#000000",
    // Window background
    gradientTop: "#07101d",
    gradientBottom: "#0e1930",
    glowOne: "#153154",
    glowOneOpacity: 0.16,
    glowTwo: "#8f6c22",
    glowTwoOpacity: 0.10
};

var light = {
    dark: false,
    bgPrimary: "#f4f7fb",
    bgSecondary: "#ffffff",
    bgElevated: "#eef3f9",
    bgCard: "#ffffff",
    bgSidebar: "#e8eef6",
    bgInput: "#f7fafd",
    bgAccentSoft: "#f6e8b8",
    accentGold: "#c79a36",
    accentGoldLight: "#e7c96f",
    accentGoldDark: "#9b7420",
    textPrimary: "#132033",
    textSecondary: "#5b6b80",
    textMuted: "#7b8da4",
    textOnAccent: "#ffffff",
    borderColor: "#d7e1ec",
    borderStrong: "#c4d4e5",
    successColor: "#16a34a",
    warningColor: "#d97706",
    dangerColor: "#dc2626",
    shadowColor: "#b7c6d8",
    gradientTop: "#f7f9fc",
    gradientBottom: "#eaf1f8",
    glowOne: "#dce7f4",
    glowOneOpacity: 0.75,
    glowTwo: "#f3df9d",
    glowTwoOpacity: 0.45
};

// Screens and panels drawn in fixed dark colours whatever the theme.
var fixed = {
    pageBg: "#0a0e1a",        // page background, field background, dark text on gold
    card: "#111827",
    cardBorder: "#1e293b",    // also the idle field border
    gold: "#d4a843",
    goldLight: "#e8c76a",
    goldDark: "#b8922e",
    goldText: "#C5A059",
    textPrimary: "#ffffff",
    textBright: "#f8fafc",
    textCell: "#e2e8f0",
    textSecondary: "#94a3b8",
    textMuted: "#64748b",
    textFaint: "#475569",     // footer line, idle radio ring
    error: "#ef4444",
    rowBg: "#0d1120",         // list rows, odd table rows
    rowSelected: "#1a2340",   // chosen currency row, row under the mouse
    tableHeader: "#0f1328",
    // Statuses and priorities on the billing pages: the colour, and the dark pill behind it.
    success: "#22c55e",
    warning: "#f59e0b",
    successSoft: "#1a2e1a",
    warningSoft: "#2e2a1a",
    errorSoft: "#2e1a1a"
};

// Colour emoji for symbols that a plain text font also draws in black and white (🔒 👁 🗑 🔍):
// Texts that show only an emoji set `font.family: Palette.emojiFont`.
var emojiFont = Qt.platform.os === "windows" ? "Segoe UI Emoji" : Qt.platform.os === "osx" ? "Apple Color Emoji" : "Noto Color Emoji";
