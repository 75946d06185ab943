#pragma once

#include <string>

// The materials and the code of a section-strength calculation, and the design constants each
// code derives from them, every constant beside its clause. Stresses in MPa, strains as plain
// numbers (0.0035, not 3.5 ‰). Qt-free, and independent of reinforcement/ (whose CodeRules holds
// the search's clauses): the two share ideas, not code.
namespace tresol::strength {

enum class Code { EC2, ACI };

// EN 1992-1-1's concrete stress–strain relation for the section: the parabola-rectangle of
// 3.1.7(1) (the default) or the rectangular block of 3.1.7(3) (λ, η, with the strain limits εc3,
// εcu3 of Table 3.1). ACI 318 always takes the Whitney block of 22.2.2.4.
enum class ConcreteModel { ParabolaRectangle, RectangularBlock };

struct Materials {
    Code code = Code::EC2;
    double fc = 25;       // fck under EN (C12/15…C90/105: 12…90), f'c under ACI (17…100)
    double fy = 500;      // fyk under EN (400…600), fy under ACI (280…690)
    double Es = 200000;   // EN 3.2.7(4), ACI 20.2.2.2
    double alphaCC = 1.0; // EN 3.1.6(1), a nationally determined parameter; recommended 1.0
    double gammaC = 1.5;  // EN 2.4.2.4 Table 2.1N, persistent and transient
    double gammaS = 1.15; // idem
    ConcreteModel model = ConcreteModel::ParabolaRectangle; // EN only

    static Materials en(double fck, double fyk = 500) {
        Materials m;
        m.fc = fck;
        m.fy = fyk;
        return m;
    }
    static Materials aci(double fc, double fy = 420) {
        Materials m;
        m.code = Code::ACI;
        m.fc = fc;
        m.fy = fy;
        return m;
    }
};

// Why the materials are not taken (Spanish, naming the value), or empty when they are.
std::string materialsProblem(const Materials& m);

// What the integration needs, derived once from valid materials.
struct DesignConstants {
    Code code = Code::EC2;
    bool block = false; // a rectangular block (EN 3.1.7(3) or ACI's), else the parabola-rectangle
    double fcd = 0;     // EN αcc·fck/γc; ACI f'c (the block's stress is 0.85 f'c, below)
    double blockStress = 0; // EN η·fcd; ACI 0.85 f'c; 0 for the parabola-rectangle
    double blockDepth = 0;  // λ (EN 3.1.7(3)) or β1 (ACI 22.2.2.4.3): block depth / x
    double fyd = 0;         // EN fyk/γs; ACI fy
    double Es = 0;
    double epsC = 0;  // strain of the whole-section compression pivot: εc2 (εc3 for the block)
    double epsCu = 0; // εcu2 (εcu3 for the block); ACI 0.003
    double n = 2;     // the parabola's exponent (EN Table 3.1)
    // ACI 21.2.2 (tied members): φ = 0.65 up to εty, 0.90 from εty + 0.003, linear between.
    double epsTy = 0;
};

// Precondition: materialsProblem(m) is empty (else ProgrammingError).
DesignConstants designConstants(const Materials& m);

// EN 1992-1-1 Table 3.1.
double epsC2(double fck);
double epsCu2(double fck);
double parabolaExponent(double fck);
double epsC3(double fck);
double epsCu3(double fck);
// ACI 318-19 Table 22.2.2.4.3.
double beta1(double fc);
// ACI 318-19 Table 21.2.2, tied members: φ from the net tensile strain εt (tension positive).
double phiTied(double epsT, double epsTy);
// EN 1992-1-1 5.5(4) with δ = 1 (no redistribution): the largest x/d, (1 − k1)/k2 for fck ≤ 50
// and (1 − k3)/k4 above, with the recommended k1 = 0.44, k3 = 0.54, k2 = k4 = 1.25(0.6 +
// 0.0014/εcu2): 0.448 for fck ≤ 50.
double xOverDLimit(double fck);

} // namespace tresol::strength
