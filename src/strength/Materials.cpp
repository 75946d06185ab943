#include "strength/Materials.h"

#include "platform/ProgrammingError.h"

#include <algorithm>
#include <cmath>

namespace tresol::strength {

namespace {

bool within(double v, double lo, double hi) {
    return std::isfinite(v) && v >= lo && v <= hi;
}

} // namespace

std::string materialsProblem(const Materials& m) {
    // EN 1992-1-1 3.1.2(2) covers C12/15…C90/105 and 3.2.2(3) fyk 400…600 MPa; ACI 318-19
    // 19.2.1.1 asks f'c ≥ 17 MPa and Table 20.2.2.4(a) goes up to Grade 100 (690 MPa). The same
    // limits as the code-checked search's (reinforcement/CodeRules).
    const bool en = m.code == Code::EC2;
    if (m.code != Code::EC2 && m.code != Code::ACI)
        return "norma no válida";
    if (!within(m.fc, en ? 12 : 17, en ? 90 : 100))
        return en ? "hormigón no válido: fck de 12 a 90 MPa (C12/15 a C90/105)"
                  : "hormigón no válido: f'c de 17 a 100 MPa";
    if (!within(m.fy, en ? 400 : 280, en ? 600 : 690))
        return en ? "acero no válido: fyk de 400 a 600 MPa"
                  : "acero no válido: fy de 280 a 690 MPa";
    if (!within(m.Es, 150000, 250000))
        return "módulo del acero no válido: Es de 150 000 a 250 000 MPa";
    if (en) {
        if (!within(m.alphaCC, 0.8, 1.0))
            return "coeficiente αcc no válido: de 0,8 a 1,0";
        if (!within(m.gammaC, 1.0, 2.0))
            return "coeficiente γc no válido: de 1,0 a 2,0";
        if (!within(m.gammaS, 1.0, 1.5))
            return "coeficiente γs no válido: de 1,0 a 1,5";
        if (m.model != ConcreteModel::ParabolaRectangle &&
            m.model != ConcreteModel::RectangularBlock)
            return "diagrama del hormigón no válido";
    }
    return {};
}

double epsC2(double fck) {
    return fck <= 50 ? 0.002 : 0.002 + 0.000085 * std::pow(fck - 50, 0.53);
}

double epsCu2(double fck) {
    return fck <= 50 ? 0.0035 : 0.0026 + 0.035 * std::pow((90 - fck) / 100, 4);
}

double parabolaExponent(double fck) {
    return fck <= 50 ? 2.0 : 1.4 + 23.4 * std::pow((90 - fck) / 100, 4);
}

double epsC3(double fck) {
    return fck <= 50 ? 0.00175 : 0.00175 + 0.00055 * (fck - 50) / 40;
}

double epsCu3(double fck) {
    return epsCu2(fck);
}

double beta1(double fc) {
    // 0.85 up to 28 MPa, 0.05 less per 7 MPa above, never below 0.65.
    return std::clamp(0.85 - 0.05 * (fc - 28) / 7, 0.65, 0.85);
}

double phiTied(double epsT, double epsTy) {
    if (epsT <= epsTy)
        return 0.65;
    if (epsT >= epsTy + 0.003)
        return 0.90;
    return 0.65 + 0.25 * (epsT - epsTy) / 0.003;
}

double xOverDLimit(double fck) {
    const double k = 1.25 * (0.6 + 0.0014 / epsCu2(fck));
    return fck <= 50 ? (1 - 0.44) / k : (1 - 0.54) / k;
}

DesignConstants designConstants(const Materials& m) {
    if (!materialsProblem(m).empty())
        throw ProgrammingError("strength::designConstants: materiales no válidos");
    DesignConstants k;
    k.code = m.code;
    k.Es = m.Es;
    if (m.code == Code::ACI) {
        k.block = true;
        k.fcd = m.fc;
        k.blockStress = 0.85 * m.fc; // 22.2.2.4.1
        k.blockDepth = beta1(m.fc);  // 22.2.2.4.3
        k.fyd = m.fy;
        k.epsC = 0.003; // no whole-section pivot: the extreme fibre stays at εcu (22.2.2.1)
        k.epsCu = 0.003;
        k.epsTy = m.fy / m.Es; // 21.2.2.1
        return k;
    }
    k.fcd = m.alphaCC * m.fc / m.gammaC; // 3.1.6(1)
    k.fyd = m.fy / m.gammaS;             // 3.2.7(2)
    k.n = parabolaExponent(m.fc);
    if (m.model == ConcreteModel::RectangularBlock) {
        // 3.1.7(3): λ = 0.8 − (fck − 50)/400 and η = 1 − (fck − 50)/200 above C50/60.
        const double over = std::max(0.0, m.fc - 50);
        k.block = true;
        k.blockDepth = 0.8 - over / 400;
        k.blockStress = (1 - over / 200) * k.fcd;
        k.epsC = epsC3(m.fc);
        k.epsCu = epsCu3(m.fc);
    } else {
        k.epsC = epsC2(m.fc);
        k.epsCu = epsCu2(m.fc);
    }
    return k;
}

} // namespace tresol::strength
