// How the dashboard's short lists name a row.
.pragma library

// "property - unit" of a payment or maintenance row, leaving out what the row does not name.
function place(record) {
    const parts = [record.property_name, record.unit_number].filter(part => part !== undefined && part !== null && String(part).length > 0);
    return parts.join(" - ");
}
