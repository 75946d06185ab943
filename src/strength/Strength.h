#pragma once

#include "strength/Materials.h"
#include "strength/Section.h"

#include <string>
#include <vector>

// Section strength under EN 1992-1-1 (6.1) and ACI 318-19 (22.2–22.4, 21.2): interaction curves,
// the utilisation of design actions, a beam's moment capacity and the required areas, from any
// outline and bars. Qt-free; user errors come back as Spanish texts in `error`, never as
// exceptions.
//
// Units at this interface: lengths m, areas m², stresses MPa, forces kN, moments kN·m.
//
// Signs. N is positive in compression. Moments are taken about the centroid of the gross
// outline (bars not counted), with compression stresses positive:
//     M_y = ∫ σ (z − z_G) dA,    M_z = ∫ σ (y − y_G) dA,
// so a positive M_y compresses the +z fibres and a compressive N acting at (e_y, e_z) from the
// centroid gives M_y = N·e_z and M_z = N·e_y. A beam with z upwards thus has M_y > 0 in sagging.
//
// Angles (radians, counter-clockwise from +y in the (y, z) plane):
//   - the moment direction ψ is the direction of the vector (M_z, M_y) — where a compressive N
//     would sit, the side the moment compresses: ψ = 0 compresses +y (M_z > 0, M_y = 0), ψ = π/2
//     compresses +z (M_y > 0, sagging of a beam with z up);
//   - the neutral-axis direction θ is the direction of the strain gradient, square to the
//     neutral axis, pointing to the compressed fibres (θ = π/2: a horizontal neutral axis with
//     the top compressed). For a section symmetric about that direction θ = ψ; in general
//     biaxial bending they differ and θ is found by iteration.
//
// Design values. EN: fcd = αcc·fck/γc, fyd = fyk/γs, parabola-rectangle (3.1.7(1)) or
// rectangular block (3.1.7(3)), bilinear steel with a horizontal top branch (3.2.7(2) b, no strain
// limit), strain limits of 6.1(6) (εcu2 at the extreme fibre; εc2 at (1 − εc2/εcu2)·h from it
// when the whole section is compressed). ACI: the Whitney block 0.85 f'c over a = β1·c, εcu =
// 0.003, points given as φ·(Pn, Mn) with φ of 21.2.2 (tied members) from the net tensile strain
// of the extreme tension bar, and φPn capped at φ·0.80·Po (22.4.2.1). Concrete displaced by a bar
// in the compressed zone is deducted from the bar (As·(σs − σc)). Concrete takes no tension.
namespace tresol::strength {

// One ultimate strain state and its design resultants.
struct StatePoint {
    double N = 0;          // kN, design (EN N_Rd; ACI φ·Pn)
    double My = 0, Mz = 0; // kN·m, design
    double M = 0;          // kN·m, the moment's component along the direction asked
    double Mperp = 0;      // kN·m, its component square to it (≈ 0 when the direction was met)
    double theta = 0;      // rad, neutral-axis direction (strain gradient) of this state
    double depth = 0;      // m, neutral-axis depth x from the extreme compressed fibre;
                           // infinity for a compressed whole section, 0 for the tension vertex
    double epsTop = 0;     // strain at the extreme compressed fibre (shortening positive)
    double epsBottom = 0;  // strain at the opposite extreme concrete fibre
    double epsSteel = 0;   // strain at the bar furthest from the compressed fibre (the concrete
                           // fibre when there are no bars); ACI's εt is −epsSteel
    double phi = 1;        // ACI strength-reduction factor applied; 1 under EN
    double p = 0;          // position along the states: 0 pure tension, 0…1 x = p·h with εcu at
                           // the extreme fibre, 1…2 the whole section compressed, 2 uniform
};

enum class CurveAxis {
    MomentDirection, // the angle is ψ: each point's neutral axis turned until M ∥ ψ (biaxial)
    NeutralAxis      // the angle is θ: neutral axis held square to it (uniaxial by definition)
};

struct Curve {
    std::string error; // empty when the curve is there
    double angle = 0;  // rad, as asked
    CurveAxis axis = CurveAxis::MomentDirection;
    // From pure tension to pure compression (N rising, but for the EN pivot-C range of a section
    // whose bars sit mostly on one side). The polyline through them is within 0.5 % of the exact
    // curve: every exact point lies within 0.5 % of the N range and of the largest |M| from it.
    // Under ACI the last two are the cap's ends: (φPn,max, M at the cap) and (φPn,max, 0).
    std::vector<StatePoint> points;
    double NRdMax = 0; // kN: EN N at the uniform strain εc2; ACI φ·0.80·Po
    double NRdMin = 0; // kN: every bar at −fyd (−φ fy As under ACI, φ = 0.90); ≤ 0
    // False at a point whose moment could not be turned to ψ (near the vertices of a section
    // whose bars are lopsided square to ψ): that point keeps θ = ψ and reports Mperp.
    bool everyPointAligned = true;
};

// The design interaction curve in one direction. A section without bars gives the plain-concrete
// curve. Speed: a 40 × 40 column with 12 bars takes some tens of microseconds.
Curve interactionCurve(const Section& s, double angle, CurveAxis axis = CurveAxis::MomentDirection);

// The state whose neutral axis has direction θ and depth x (m; x ≤ 0 the tension vertex,
// infinity the uniform compression) — for hand checks and tools. M is along θ.
StatePoint stateAt(const Section& s, double theta, double depth);

// A design action: N_Ed (kN, compression positive), M_Ed,y and M_Ed,z (kN·m, signs above).
struct Action {
    double N = 0, My = 0, Mz = 0;
};

struct CheckOptions {
    // EN 1992-1-1 6.1(4): under compression the moment about each axis is at least N_Ed·e0,
    // e0 = max(h/30, 20 mm) with h the section's extent square to that axis, applied to one axis
    // at a time (the larger utilisation kept). Ignored under ACI.
    bool minimumEccentricity = true;
};

struct Utilisation {
    std::string error; // bad action (non-finite) or section; ratio is then 0
    double ratio = 0;  // ≤ 1 passes
    // The governing check as a short Spanish text for a tool tip, e.g.
    // "flexión compuesta esviada: M_Ed/M_Rd = 0,853 (N_Ed = 1200 kN, M_Rd = 176 kN·m)".
    std::string governing;
    Action checked;   // the action of the governing check (with e0 where it applied)
    double MRd = 0;   // kN·m in the direction of the checked moment, at N_Ed (0 if axial)
    StatePoint state; // the capacity state (when a moment was checked)
};

// M_Ed/M_Rd at N_Ed in the direction of M_Ed (biaxial: the neutral axis turned until the
// resistance has that direction). An axial load alone is N_Ed/N_Rd,max (EN: with e0 it is a
// moment check); an N_Ed beyond the axial capacities gives N_Ed over that capacity (> 1). A state
// that cannot carry a moment in that direction at N_Ed (possible only near the axial capacities
// of lopsided sections) gives infinity, said in the text.
Utilisation utilisation(const Section& s, const Action& a, const CheckOptions& o = {});

// A beam bent in its plane: which face is in tension. Bottom: sagging (the −z face stretched,
// M_Rd reported positive); Top: hogging (M_Rd negative).
enum class Face { Bottom, Top };

struct BeamStrength {
    std::string error;
    double MRd = 0; // kN·m at N = 0, neutral axis horizontal; + sagging, − hogging
    double x = 0;   // m, neutral-axis depth
    double d = 0;   // m, effective depth: the compressed fibre to the centroid of the bars in
                    // tension
    double xOverD = 0;
    double xOverDLimit = 0;      // EN 5.5(4), δ = 1 (0.448 up to C50/60); 0 under ACI
    bool xOverDExceeded = false; // EN: x/d above it
    double epsT = 0;             // net tensile strain of the extreme tension bar (positive)
    bool epsTBelow004 = false;   // ACI 9.3.3.1: εt < 0.004 (not allowed in a beam)
    double phi = 1;              // ACI φ applied; 1 under EN
};

BeamStrength beamStrength(const Section& s, Face tension);

// Effective depth of one layer of bars: h − cover − φ/2, the cover (m) measured to the bars'
// surface (links within it), the diameter φ in m.
double effectiveDepthOneLayer(double h, double cover, double barDiameter);

struct RequiredArea {
    std::string error;
    double As = 0; // m², tension steel
    double x = 0;  // m
    double xOverD = 0;
    bool compressionSteelAdvised = false; // EN x/d above the 5.5(4) limit; ACI εt < 0.004
    double phi = 1;                       // ACI φ at that εt
};

// Tension steel of a rectangular beam b × d (m) for M_Ed ≥ 0 (kN·m) by the rectangular block
// (EN 3.1.7(3) λ, η; ACI 22.2.2.4 with φ from εt), no compression steel. Refused when the block
// alone cannot carry M_Ed.
RequiredArea beamRequiredArea(const Materials& m, double b, double d, double MEd);

// EN 1992-1-1 9.5.2(2): a column's least longitudinal steel, max(0.10 N_Ed/fyd, 0.002 Ac), in m²,
// for N_Ed ≥ 0 (kN) and Ac > 0 (m²). ACI 10.6.1.1: 0.01 Ag.
Checked<double> columnMinimumArea(const Materials& m, double NEd, double Ac);

} // namespace tresol::strength
