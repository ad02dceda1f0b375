import QtQuick
import Darvelinto

// A ring whose coloured arc covers `rate` percent of the circle, starting at the top and running
// clockwise, over a full track. The centre is left free for the caller's figure.
//
// Properties:
//   rate       (real)  0..100; values outside are drawn as 0 or a full ring
//   thickness  (real)  width of the ring, default 12
//   trackColor (color) the full ring under the arc (default the theme's borderColor)
//   arcColor   (color) the arc (default the theme's gold)
//   sweepAngle (real, read-only) degrees the arc covers, rate × 3.6
Item {
    id: ring


    property real rate: 0
    property real thickness: 12
    property color trackColor: Theme.borderColor
    property color arcColor: Theme.accentGold
    readonly property real sweepAngle: Math.max(0, Math.min(100, isFinite(rate) ? rate : 0)) * 3.6

    implicitWidth: 140
    implicitHeight: 140

    onSweepAngleChanged: canvas.requestPaint()
    onTrackColorChanged: canvas.requestPaint()
    onArcColorChanged: canvas.requestPaint()
    onThicknessChanged: canvas.requestPaint()

    Canvas {
        id: canvas
        anchors.fill: parent
        antialiasing: true
        onWidthChanged: requestPaint()
        onHeightChanged: requestPaint()

        onPaint: {
            const ctx = getContext("2d");
            ctx.reset();
            const radius = (Math.min(width, height) - ring.thickness) / 2;
            if (radius <= 0)
                return;
            const cx = width / 2;
            const cy = height / 2;
            ctx.lineWidth = ring.thickness;

            ctx.beginPath();
            ctx.strokeStyle = ring.trackColor;
            ctx.arc(cx, cy, radius, 0, 2 * Math.PI, false);
            ctx.stroke();

            if (ring.sweepAngle <= 0)
                return;
            const start = -Math.PI / 2;
            ctx.beginPath();
            ctx.strokeStyle = ring.arcColor;
            ctx.lineCap = ring.sweepAngle >= 360 ? "butt" : "round";
            ctx.arc(cx, cy, radius, start, start + ring.sweepAngle * Math.PI / 180, false);
            ctx.stroke();
        }
    }
}
