// Keeps numbers written with separators (dates "2026-11-30", periods "2026-11", times "10:30")
// in their written order inside Arabic text.
//
// After an Arabic letter the bidirectional algorithm reads digits as Arabic numbers, and the
// hyphen between two of them does not join them: "شهر 2026-11" would show as "شهر 11-2026".
// Each such run is embedded left to right, so it reads as typed.
.pragma library

function numbersInOrder(text) {
    return String(text === undefined || text === null ? "" : text).replace(/\d+(?:[-\/:.]\d+)+/g, run => "\u202A" + run + "\u202C");
}
