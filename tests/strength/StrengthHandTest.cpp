// Hand-worked cases of the section-strength engine, each worked in its comment from the codes'
// text (never from the engine's own figures).
#include "Sections.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tresol::strength;
using namespace tresol::strength::testing;

// 30 × 50, 5 Ø16 (As = 5·π·0.8² = 10.053 cm²) with centres 3.8 cm up: d = 50 − 3.8 = 46.2 cm.
// C25/30, B500: fcd = 25/1.5 = 16.667 MPa, fyd = 500/1.15 = 434.78 MPa.
// Rectangular block (λ = 0.8, η = 1): As·fyd = 10.053e-4 · 434.78 = 0.43709 MN;
//   x = As fyd / (0.8 b η fcd) = 0.43709 / (0.8 · 0.30 · 16.667) = 0.10927 m;
//   εs = 3.5‰ (46.2 − 10.93)/10.93 = 11.3‰ > εyd = 2.17‰, yielded;
//   M_Rd = As fyd (d − 0.4 x) = 0.43709 · (0.462 − 0.04371) = 0.18283 MN·m = 182.83 kN·m.
// Parabola-rectangle (fck ≤ 50: resultant 17/21·fcd·b·x at 99/238·x from the top):
//   x = 0.43709 / (17/21 · 0.30 · 16.667) = 0.10799 m; M = 0.43709 (0.462 − 0.41597·0.10799)
//   = 182.30 kN·m, 0.3 % under the block.
// x/d = 0.2365 against the 5.5(4) limit (1 − 0.44)/(1.25·(0.6 + 0.0014/0.0035)) = 0.448.
TEST(StrengthHand, EnBeamOneLayer) {
    const BeamStrength block = beamStrength(beam(enBlock(25)), Face::Bottom);
    ASSERT_EQ(block.error, "");
    EXPECT_NEAR(block.MRd, 182.831, 0.001);
    EXPECT_NEAR(block.x, 0.109273, 1e-6);
    EXPECT_NEAR(block.d, 0.462, 1e-12);

    const BeamStrength pr = beamStrength(beam(Materials::en(25)), Face::Bottom);
    EXPECT_NEAR(pr.MRd, 182.302, 0.001);
    EXPECT_LT(std::abs(pr.MRd - block.MRd) / block.MRd, 0.01);
    EXPECT_NEAR(pr.xOverD, 0.10799 / 0.462, 1e-5);
    EXPECT_NEAR(pr.xOverDLimit, 0.448, 1e-12);
    EXPECT_FALSE(pr.xOverDExceeded);

    // Hogging with the bars at the bottom: they are the compressed ones, a plain-concrete
    // tension face; the sign says hogging.
    const BeamStrength top = beamStrength(beam(Materials::en(25)), Face::Top);
    EXPECT_LT(top.MRd, 0);
    // A second layer of 2 Ø16 with centres 7.8 cm up: 7 Ø16, their centroid (5·3.8 + 2·7.8)/7 =
    // 4.943 cm up, d = 45.057 cm (the integration of two layers: StrengthProperty).
    EXPECT_NEAR(beamStrength(beam(enBlock(25), true), Face::Bottom).d, 0.450571, 1e-6);
}

// 40 × 40, 8 Ø16 (As = 16.085 cm²), C25/30, B500. Pure compression at the pivot-C strain of
// 2‰ over the whole section: the steel is at Es·εc2 = 200 000 · 0.002 = 400 MPa, below
// fyd = 434.78, and the concrete at fcd over Ac − As:
//   16.667 · (0.16 − 0.0016085) + 400 · 0.0016085 = 2.63986 + 0.64340 = 3.28326 MN = 3283 kN
// (not fcd·Ac + fyd·As = 2666.7 + 699.3 = 3366 kN). Pure tension: −fyd·As = −699.35 kN.
TEST(StrengthHand, ColumnSquashLoad) {
    const Curve c = interactionCurve(column(Materials::en(25)), 0);
    ASSERT_EQ(c.error, "");
    EXPECT_NEAR(c.NRdMax, 3283.257, 0.001);
    EXPECT_NEAR(c.points.back().N, 3283.257, 0.001);
    EXPECT_NEAR(c.points.back().M, 0, 1e-9);
    EXPECT_EQ(c.points.back().depth, INFINITY);
    EXPECT_NEAR(stateAt(column(Materials::en(25)), 0, INFINITY).N, 3283.257, 0.001);
    EXPECT_NEAR(c.NRdMin, -699.346, 0.001);
    EXPECT_NEAR(c.points.front().N, -699.346, 0.001);
    EXPECT_GE(c.points.size(), 64u);
}

// The balanced point of that column about y (θ = 90°, bars 3 + 2 + 3 at t = +0.162, 0, −0.162 m
// from the centroid): εcu2 = 3.5‰ at the top, the bottom bars at εyd = 434.78/200 000 = 2.174‰,
// d = 0.362: x_b = 0.362 · 3.5/(3.5 + 2.174) = 0.22330 m.
//   Concrete: 17/21 · 0.40 · 16.667 · 0.22330 = 1.20513 MN at 99/238·x_b = 0.09289 m from the top.
//   Top bars: ε = 3.5‰ (0.22330 − 0.038)/0.22330 = 2.904‰ → 434.78 − fcd (displaced concrete):
//     3 · 2.0106e-4 · 418.12 = 0.25221 MN at +0.162.
//   Middle bars: ε = 3.5‰ · 0.02330/0.22330 = 0.3652‰ → 73.05 MPa, concrete there
//     16.667 (1 − (1 − 0.3652/2)²) = 5.53 MPa: 2 · 2.0106e-4 · 67.52 = 0.02715 MN at 0.
//   Bottom bars: −3 · 2.0106e-4 · 434.78 = −0.26225 MN at −0.162.
//   N = 1.20513 + 0.25221 + 0.02715 − 0.26225 = 1.22222 MN = 1222.2 kN;
//   M = 1.20513 · (0.2 − 0.09289) + 0.25221 · 0.162 + 0.26225 · 0.162 = 212.43 kN·m.
TEST(StrengthHand, ColumnBalancedPoint) {
    const StatePoint b = stateAt(column(Materials::en(25)), kPi / 2, 0.2233027);
    EXPECT_NEAR(b.N, 1222.22, 0.01);
    EXPECT_NEAR(b.My, 212.43, 0.01);
    EXPECT_NEAR(b.Mz, 0, 1e-9);
    EXPECT_NEAR(b.epsSteel, -434.7826 / 200000, 1e-9);
    // On the curve: the utilisation of that action is 1 without e0. With e0 (6.1(4)) the turn
    // about z adds M_z = 1222.2 · 0.020 = 24.4 kN·m to the 212.4 about y: biaxial, above 1.
    CheckOptions plain;
    plain.minimumEccentricity = false;
    const Utilisation u = utilisation(column(Materials::en(25)), {b.N, b.My, 0}, plain);
    EXPECT_NEAR(u.ratio, 1, 1e-6);
    EXPECT_NE(u.governing.find("flexión compuesta recta: M_Ed/M_Rd = 1,000"), std::string::npos)
        << u.governing;
    const Utilisation e0 = utilisation(column(Materials::en(25)), {b.N, b.My, 0});
    EXPECT_GT(e0.ratio, 1);
    EXPECT_NEAR(e0.checked.Mz, b.N * 0.020, 1e-9);
    EXPECT_NE(e0.governing.find("esviada"), std::string::npos) << e0.governing;
}

// ACI 318-19 beam 300 × 500, d = 450 mm, As = 3000 mm², f'c = 28 MPa, fy = 420 MPa:
//   a = As fy / (0.85 f'c b) = 1 260 000 / (0.85 · 28 · 300) = 176.47 mm, β1 = 0.85,
//   c = 207.61 mm, εt = 0.003 (450 − 207.61)/207.61 = 0.0035025: above εty = 0.0021 (yielded),
//   below 0.004 (9.3.3.1 not met) and in the transition zone of 21.2.2:
//   φ = 0.65 + 0.25 (0.0035025 − 0.0021)/0.003 = 0.76688;
//   Mn = As fy (d − a/2) = 1.26 MN · (0.45 − 0.088235) = 455.82 kN·m; φMn = 349.56 kN·m.
TEST(StrengthHand, AciBeamPhiFromStrain) {
    const auto s =
        Section::make(rectangle(0.30, 0.50), {{0.15, 0.05, 3000e-6}}, Materials::aci(28));
    ASSERT_TRUE(s) << s.error;
    const BeamStrength b = beamStrength(*s, Face::Bottom);
    EXPECT_NEAR(b.epsT, 0.0035025, 1e-7);
    EXPECT_NEAR(b.phi, 0.766875, 1e-6);
    EXPECT_NEAR(b.MRd, 349.560, 0.001);
    EXPECT_TRUE(b.epsTBelow004);
    EXPECT_EQ(b.xOverDLimit, 0);

    // The required area for that design moment is the same 3000 mm², with the same φ.
    const RequiredArea r = beamRequiredArea(Materials::aci(28), 0.30, 0.45, 349.5597);
    ASSERT_EQ(r.error, "");
    EXPECT_NEAR(r.As, 3000e-6, 1e-8);
    EXPECT_NEAR(r.phi, 0.766875, 1e-6);
    EXPECT_TRUE(r.compressionSteelAdvised);
}

// ACI column 400 × 400, 8 Ø16 (Ast = 1608.5 mm²), f'c = 28, fy = 420:
//   Po = 0.85 · 28 · (160 000 − 1608.5) + 420 · 1608.5 = 3769.7 + 675.6 = 4445.3 kN;
//   φPn,max = 0.65 · 0.80 · Po = 2311.6 kN. An axial load alone is N_Ed/φPn,max.
TEST(StrengthHand, AciColumnCap) {
    const Section s = column(Materials::aci(28));
    const Curve c = interactionCurve(s, 0);
    EXPECT_NEAR(c.NRdMax, 2311.55, 0.01);
    EXPECT_NEAR(c.points.back().N, 2311.55, 0.01);
    EXPECT_EQ(c.points.back().M, 0);
    EXPECT_NEAR(c.points[c.points.size() - 2].N, 2311.55, 0.01);
    EXPECT_NEAR(c.NRdMin, -0.9 * 420 * 1608.495e-6 * 1000, 0.01);
    const Utilisation u = utilisation(s, {1155.775, 0, 0});
    EXPECT_NEAR(u.ratio, 0.5, 1e-6);
    EXPECT_NE(u.governing.find("compresión simple"), std::string::npos);
}

// A square column loaded at 45° has equal M_y and M_z at capacity, with the neutral axis square
// to the diagonal; about either axis alone the capacity is the same.
TEST(StrengthHand, BiaxialSquareBySymmetry) {
    const Section s = column(Materials::en(30), 4);
    const Curve c = interactionCurve(s, kPi / 4);
    ASSERT_TRUE(c.everyPointAligned);
    for (const StatePoint& p : c.points) {
        EXPECT_NEAR(p.My, p.Mz, 1e-9 * (1 + std::abs(p.My)));
        EXPECT_NEAR(p.theta, kPi / 4, 1e-9);
    }
    CheckOptions plain;
    plain.minimumEccentricity = false;
    const Utilisation u = utilisation(s, {800, 150, 150}, plain);
    EXPECT_NEAR(u.state.My, u.state.Mz, 1e-6);
    EXPECT_NE(u.governing.find("esviada"), std::string::npos);
    const Utilisation uy = utilisation(s, {800, 150, 0}, plain);
    const Utilisation uz = utilisation(s, {800, 0, 150}, plain);
    EXPECT_NEAR(uy.ratio, uz.ratio, 1e-9);
}

// EN 6.1(4): 40 × 40 with an axial load alone, e0 = max(400/30, 20) = 20 mm, so the check is
// N_Ed with M = N_Ed · 0.020 about each axis in turn (equal here by symmetry).
TEST(StrengthHand, EnMinimumEccentricity) {
    const Section s = column(Materials::en(25));
    const Utilisation u = utilisation(s, {2000, 0, 0});
    EXPECT_NEAR(std::abs(u.checked.My) + std::abs(u.checked.Mz), 40, 1e-12);
    EXPECT_NEAR(u.ratio, 40 / u.MRd, 1e-12);
    EXPECT_NE(u.governing.find("e0 = 20 mm"), std::string::npos) << u.governing;
    // Beyond the squash load: N_Ed over it.
    const Utilisation over = utilisation(s, {4000, 10, 0});
    EXPECT_NEAR(over.ratio, 4000 / 3283.257, 1e-6);
    const Utilisation pull = utilisation(s, {-1000, 0, 0});
    EXPECT_NEAR(pull.ratio, 1000 / 699.346, 1e-6);
    const Utilisation none = utilisation(s, {0, 0, 0});
    EXPECT_EQ(std::pair(none.ratio, none.governing), std::pair(0.0, std::string("sin esfuerzos")));
}

// Required areas. EN beam 30 × 46.2 for the 182.83 kN·m of the block above gives back
// 5 Ø16 = 10.053 cm². Column minimum (9.5.2(2)), 40 × 40, fyd = 434.78:
//   N_Ed = 1000 kN: max(0.10 · 1.0/434.78 = 2.30 cm², 0.002 · 1600 = 3.20 cm²) = 3.20 cm²;
//   N_Ed = 2000 kN: max(4.60 cm², 3.20 cm²) = 4.60 cm².
TEST(StrengthHand, RequiredAreas) {
    EXPECT_NEAR(effectiveDepthOneLayer(0.50, 0.030, 0.016), 0.462, 1e-12);
    const RequiredArea r = beamRequiredArea(Materials::en(25), 0.30, 0.462, 182.8312446);
    ASSERT_EQ(r.error, "");
    EXPECT_NEAR(r.As, 10.0531e-4, 1e-8);
    EXPECT_FALSE(r.compressionSteelAdvised);
    EXPECT_TRUE(beamRequiredArea(Materials::en(25), 0.30, 0.462, 500).compressionSteelAdvised);
    EXPECT_NE(beamRequiredArea(Materials::en(25), 0.30, 0.462, 900).error, "");
    EXPECT_NEAR(*columnMinimumArea(Materials::en(25), 1000, 0.16), 3.2e-4, 1e-12);
    EXPECT_NEAR(*columnMinimumArea(Materials::en(25), 2000, 0.16), 4.6e-4, 1e-12);
}
