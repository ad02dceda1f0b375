pragma Singleton
import QtQuick

// The interface's icons: glyphs of the Material Design Icons font (Debian's
// fonts-materialdesignicons-webfont, built into the program's resources), vector shapes that stay
// sharp at every size. One icon per subject or action, the same on every page: give them to
// MButton.iconSymbol, IconButton.symbol, StatsCard.icon or SectionPanel.icon, or show one in a Text
// with font.family: Icons.family.
QtObject {
    readonly property FontLoader loader: FontLoader {
        source: "qrc:/assets/icons/materialdesignicons-webfont.ttf"
    }
    readonly property string family: loader.name

    // The pages of the side bar.
    readonly property string dashboard: "\uF56E"      // view-dashboard
    readonly property string properties: "\uF1D7"     // domain
    readonly property string tenants: "\uF00E"        // account-multiple
    readonly property string buyers: "\uF00B"         // account-key
    readonly property string accounting: "\uF0EC"     // calculator
    readonly property string payments: "\uF116"       // cash-multiple
    readonly property string cheques: "\uF070"        // bank
    readonly property string invoices: "\uF449"       // receipt
    readonly property string maintenance: "\uF5B7"    // wrench
    readonly property string reports: "\uF128"        // chart-bar
    readonly property string users: "\uF631"          // account-settings-variant
    readonly property string settings: "\uF493"       // settings

    // Actions.
    readonly property string add: "\uF415"            // plus
    readonly property string remove: "\uF1C0"         // delete
    readonly property string edit: "\uF3EB"           // pencil
    readonly property string print: "\uF42A"          // printer
    readonly property string close: "\uF156"          // close
    readonly property string search: "\uF349"         // magnify
    readonly property string more: "\uF140"           // chevron-down
    readonly property string dropDown: "\uF35D"       // menu-down
    readonly property string importFile: "\uF21B"     // file-excel
    readonly property string exportFile: "\uF21D"     // file-export
    readonly property string backup: "\uF06F"         // backup-restore
    readonly property string logout: "\uF343"         // logout
    readonly property string password: "\uF306"       // key
    readonly property string run: "\uF241"            // flash
    readonly property string done: "\uF12C"           // check
    readonly property string undo: "\uF54C"           // undo: put back as it was
    readonly property string received: "\uF1DA"       // download: a cheque that came in
    readonly property string issued: "\uF552"         // upload: a cheque that went out
    readonly property string openOrigin: "\uF3CC"     // open-in-new: go to the page of a record

    // Subjects.
    readonly property string user: "\uF004"           // account
    readonly property string lock: "\uF33E"           // lock
    readonly property string show: "\uF208"           // eye
    readonly property string hide: "\uF209"           // eye-off
    readonly property string alerts: "\uF09A"         // bell
    readonly property string warning: "\uF026"        // alert
    readonly property string error: "\uF159"          // close-circle
    readonly property string success: "\uF5E0"        // check-circle
    readonly property string history: "\uF2DA"        // history
    readonly property string analysis: "\uF068"       // auto-fix
    readonly property string statement: "\uF219"      // file-document
    readonly property string home: "\uF2DC"           // home
    readonly property string occupancy: "\uF197"      // contrast-circle
    readonly property string revenue: "\uF535"        // trending-up
    readonly property string expenses: "\uF533"       // trending-down
    readonly property string profit: "\uF12A"         // chart-line
    readonly property string balance: "\uF5D1"        // scale-balance
    readonly property string books: "\uF0BE"          // book-open-variant: the ledger
    readonly property string theme: "\uF3D8"          // palette
    readonly property string currency: "\uF4E1"       // swap-horizontal
    readonly property string company: "\uF146"        // city
    readonly property string database: "\uF1B8"       // database
}
