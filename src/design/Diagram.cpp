#include "design/Diagram.h"

#include "design/RunStrength.h"
#include "drawing/DrawingTarget.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tresol::design {

Diagram interactionDiagram(const RunResult& result, std::int32_t row,
                           std::optional<double> angleDeg) {
    Diagram d;
    const Member& m = result.member();
    if (!m.actions) {
        d.error = "el miembro no tiene acciones";
        return d;
    }
    if (row < 1 || static_cast<std::size_t>(row) > result.rows().size()) {
        d.error = "no hay armado " + std::to_string(row);
        return d;
    }
    const Row& r = result.rows()[static_cast<std::size_t>(row - 1)];
    const StrengthCheck check(m, result.search());
    const auto section = check.section(r);
    if (!section) {
        d.error = section.error;
        return d;
    }
    const strength::Action a = check.action();
    const double moment = std::hypot(a.My, a.Mz);
    // The plane of the design moment; without one, a beam's own plane or a column's height.
    double psi = moment > 0 ? std::atan2(a.My, a.Mz) : 0;
    if (angleDeg)
        psi = *angleDeg * std::numbers::pi / 180;
    d.angleDeg = psi * 180 / std::numbers::pi;
    for (const double side : {0.0, std::numbers::pi}) {
        const strength::Curve c = strength::interactionCurve(*section, psi + side);
        if (!c.error.empty()) {
            d.error = c.error;
            d.curve.clear();
            return d;
        }
        const std::size_t from = d.curve.size();
        for (const strength::StatePoint& p : c.points)
            d.curve.push_back({side == 0 ? p.M : -p.M, p.N});
        // Back down the other side, so that the polygon closes round the section's capacity.
        if (side != 0)
            std::reverse(d.curve.begin() + static_cast<std::ptrdiff_t>(from), d.curve.end());
    }
    // The action's moment along the plane (its size when the plane is its own).
    d.action = {a.Mz * std::cos(psi) + a.My * std::sin(psi), a.N};
    d.title =
        r.line + " — " + (result.search().kind == SearchKind::ACI ? "ACI 318-19" : "EN 1992-1-1");
    return d;
}

namespace {

// A round step for about `count` divisions of `span`.
double niceStep(double span, int count) {
    const double raw = span / count;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (raw <= f * p)
            return f * p;
    return 10 * p;
}

} // namespace

void drawDiagram(const Diagram& diagram, DrawingTarget& t) {
    t.Cls();
    const float w = t.Width(), h = t.Height();
    if (!(w > 0 && h > 0))
        return;
    if (diagram.curve.empty()) {
        t.CurrentX(t.ScaleLeft() + 8);
        t.CurrentY(t.ScaleTop() + 8);
        t.Print(diagram.error);
        return;
    }
    double mMin = 0, mMax = 0, nMin = 0, nMax = 0;
    for (const DiagramPoint& p : diagram.curve) {
        mMin = std::min(mMin, p.mKnm);
        mMax = std::max(mMax, p.mKnm);
        nMin = std::min(nMin, p.nKn);
        nMax = std::max(nMax, p.nKn);
    }
    mMin = std::min(mMin, diagram.action.mKnm);
    mMax = std::max(mMax, diagram.action.mKnm);
    nMin = std::min(nMin, diagram.action.nKn);
    nMax = std::max(nMax, diagram.action.nKn);
    if (!(mMax > mMin) || !(nMax > nMin))
        return;
    // Room for the labels: a margin of a tenth of the range, more on the left and at the foot.
    const double mSpan = mMax - mMin, nSpan = nMax - nMin;
    const double left = mMin - 0.18 * mSpan, right = mMax + 0.08 * mSpan;
    const double top = nMax + 0.14 * nSpan, bottom = nMin - 0.12 * nSpan;
    // M across, N up (compression at the top), each axis to its own scale over the target's
    // pixels.
    if (!t.Scale(0, 0, w, h))
        return;
    const auto X = [&](double m) { return static_cast<float>((m - left) / (right - left) * w); };
    const auto Y = [&](double n) { return static_cast<float>((top - n) / (top - bottom) * h); };

    // Axes through the origin with round ticks.
    t.ForeColor(Rgb{128, 128, 128});
    t.DrawStyle(0);
    t.DrawWidth(1);
    t.Line(X(mMin), Y(0), X(mMax), Y(0));
    t.Line(X(0), Y(nMin), X(0), Y(nMax));
    const double mStep = niceStep(mSpan, 4), nStep = niceStep(nSpan, 5);
    const double tickM = 0.01 * nSpan, tickN = 0.01 * mSpan;
    t.ForeColor(Rgb{64, 64, 64});
    for (double v = std::ceil(mMin / mStep) * mStep; v <= mMax + 1e-9 * mSpan; v += mStep) {
        t.Line(X(v), Y(-tickM), X(v), Y(tickM));
        if (std::abs(v) > 1e-9 * mSpan) {
            t.CurrentX(X(v));
            t.CurrentY(Y(0) + 4);
            t.Print(platform::formatNumber(v, "#0"));
        }
    }
    for (double v = std::ceil(nMin / nStep) * nStep; v <= nMax + 1e-9 * nSpan; v += nStep) {
        t.Line(X(-tickN), Y(v), X(tickN), Y(v));
        t.CurrentX(X(left + 0.01 * mSpan));
        t.CurrentY(Y(v) - 7); // a text's middle at the tick
        t.Print(platform::formatNumber(v, "#0"));
    }
    t.CurrentX(X(right) - 70);
    t.CurrentY(Y(0) - 20);
    t.Print("M (kN·m)");
    t.CurrentX(X(0.01 * mSpan));
    t.CurrentY(Y(top - 0.01 * nSpan));
    t.Print("N (kN)");

    // The curve, closed.
    t.ForeColor(Rgb{0, 70, 160});
    t.DrawWidth(2);
    for (std::size_t i = 0; i < diagram.curve.size(); ++i) {
        const DiagramPoint& a = diagram.curve[i];
        const DiagramPoint& b = diagram.curve[(i + 1) % diagram.curve.size()];
        t.Line(X(a.mKnm), Y(a.nKn), X(b.mKnm), Y(b.nKn));
    }

    // The design action.
    t.ForeColor(Rgb{200, 0, 0});
    t.DrawWidth(2);
    const double cx = diagram.action.mKnm, cy = diagram.action.nKn;
    const double dx = 0.015 * (right - left), dy = 0.015 * (top - bottom);
    t.Line(X(cx - dx), Y(cy), X(cx + dx), Y(cy));
    t.Line(X(cx), Y(cy - dy), X(cx), Y(cy + dy));
    t.CurrentX(X(cx + dx));
    t.CurrentY(Y(cy + dy));
    t.Print("Ed");

    // The title in the foot's right corner, clear of the axes' labels.
    t.ForeColor(Rgb{0, 0, 0});
    t.DrawWidth(1);
    t.CurrentX(std::max(X(left), X(right) - 7.5f * static_cast<float>(diagram.title.size())));
    t.CurrentY(Y(bottom) - 18);
    t.Print(diagram.title);
}

} // namespace tresol::design
