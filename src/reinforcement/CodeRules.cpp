#include "reinforcement/CodeRules.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace tresol::code::rules {

namespace {

constexpr double kEs = 200000; // MPa, both codes
constexpr double kEcu = 0.003; // ACI 22.2.2.1

// Whole text a plain decimal number ('30', '27.5', '27,5'); nothing else.
std::optional<double> plainNumber(std::string t) {
    std::replace(t.begin(), t.end(), ',', '.');
    if (t.empty() || t.size() > 32)
        return std::nullopt;
    double v = 0;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

Materials defaults(Code code) {
    return code == Code::ACI ? Materials{28, 420} : Materials{25, 500};
}

std::optional<double> concreteFromText(const std::string& text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!t.empty() && t[0] == 'C') {
        // 'C30/37': the characteristic cylinder strength is the first figure.
        const auto slash = t.find('/');
        if (slash == std::string::npos || slash == 1)
            return std::nullopt;
        const auto cube = plainNumber(t.substr(slash + 1));
        const auto fck = plainNumber(t.substr(1, slash - 1));
        if (!fck || !cube || *cube < *fck)
            return std::nullopt;
        return fck;
    }
    return plainNumber(t);
}

std::string materialsProblem(Code code, const Materials& m) {
    // EN 1992-1-1 3.1.2(2) covers C12/15…C90/105 and 3.2.2(3) fyk 400…600 MPa; ACI 318-19
    // 19.2.1.1 asks f'c ≥ 17 MPa (2500 psi) and Table 20.2.2.4(a) allows up to Grade 100.
    const bool en = code == Code::EC2;
    const double fcLo = en ? 12 : 17, fcHi = en ? 90 : 100;
    const double fyLo = en ? 400 : 280, fyHi = en ? 600 : 690;
    if (!std::isfinite(m.fc) || m.fc < fcLo || m.fc > fcHi)
        return en ? "hormigón no válido: fck de 12 a 90 MPa (C12/15 a C90/105)"
                  : "hormigón no válido: f'c de 17 a 100 MPa";
    if (!std::isfinite(m.fy) || m.fy < fyLo || m.fy > fyHi)
        return en ? "acero no válido: fyk de 400 a 600 MPa"
                  : "acero no válido: fy de 280 a 690 MPa";
    return {};
}

double fctm(double fck) {
    if (fck <= 50)
        return 0.30 * std::cbrt(fck * fck);
    return 2.12 * std::log(1 + (fck + 8) / 10);
}

double beta1(double fc) {
    if (fc >= 55)
        return 0.65;
    return std::min(0.85, 0.85 - 0.05 * (fc - 28) / 7);
}

double clearBetweenBars(Code code, bool column, double aggregateMm, double dMax) {
    if (code == Code::EC2)
        return std::max({dMax, aggregateMm + 5, 20.0});
    if (!column)
        return std::max({25.4, dMax, 4.0 / 3.0 * aggregateMm});
    return std::max({38.1, 1.5 * dMax, 4.0 / 3.0 * aggregateMm});
}

double clearBetweenLayers(Code code, double aggregateMm, double dMax) {
    if (code == Code::EC2)
        return clearBetweenBars(code, false, aggregateMm, dMax);
    return std::max(25.4, 4.0 / 3.0 * aggregateMm);
}

double beamMaxSpacing(Code code, const Materials& m, double userMaxMm, double clearCoverMm) {
    if (code == Code::EC2)
        return userMaxMm;
    const double fs = 2.0 / 3.0 * m.fy;
    return std::min({userMaxMm, 380 * (280 / fs) - 2.5 * clearCoverMm, 300 * (280 / fs)});
}

double beamMinRatio(Code code, const Materials& m) {
    if (code == Code::EC2)
        return std::max(0.26 * fctm(m.fc) / m.fy, 0.0013);
    return std::max(0.25 * std::sqrt(m.fc) / m.fy, 1.4 / m.fy);
}

std::string beamMinWhy(Code code, const Materials& m) {
    if (code == Code::EC2)
        return 0.26 * fctm(m.fc) / m.fy >= 0.0013 ? "0,26 fctm/fyk · b·d" : "0,0013 b·d";
    return 0.25 * std::sqrt(m.fc) >= 1.4 ? "0,25 √f'c/fy · b·d" : "1,4/fy · b·d";
}

double maxRatio(Code code, bool column) {
    if (code == Code::EC2)
        return 0.04;
    return column ? 0.08 : 0;
}

double columnMinRatio(Code code) {
    return code == Code::EC2 ? 0.002 : 0.01;
}

double largestBarForCover(Code code, double coverMm) {
    return code == Code::EC2 ? coverMm : std::numeric_limits<double>::infinity();
}

double columnLeastBar(Code code) {
    return code == Code::EC2 ? 8 : 0;
}

int columnLeastBars(Code code, int corners) {
    if (code == Code::ACI)
        return corners == 3 ? 3 : 4;
    return corners;
}

bool tensionControlledEnough(const Materials& m, double widthMm, const double* areasCm2,
                             const double* depthsMm, int n) {
    double dt = 0;
    for (int i = 0; i < n; ++i)
        dt = std::max(dt, depthsMm[i]);
    // εt = εcu (dt − c)/c ≥ 0.004 exactly when the neutral axis lies no deeper than
    // c = 3/7 dt; the force balance grows with c, so it holds when the concrete's block at that
    // depth already balances the steel's pull there.
    const double c = 3.0 / 7.0 * dt;
    double pull = 0;
    for (int i = 0; i < n; ++i) {
        const double strain = kEcu * (depthsMm[i] - c) / c;
        pull += areasCm2[i] * 100 * std::clamp(kEs * strain, -m.fy, m.fy);
    }
    const double push = 0.85 * m.fc * beta1(m.fc) * c * widthMm;
    return push >= pull * (1 - 1e-12);
}

} // namespace tresol::code::rules
