// Figures of report rows that the reports page shows and prints alike.
.pragma library

// What a unit is offered for: its sale price, else its monthly rent.
function unitPrice(unit) {
    const sale = Number(unit.sale_price) || 0;
    return sale !== 0 ? sale : Number(unit.rent_monthly) || 0;
}

// What is still open on an installment.
function openAmount(row) {
    return (Number(row.installment_amount) || 0) - (Number(row.paid_amount) || 0);
}
