#pragma once

#include <optional>
#include <string>

// The design codes' rules the code-checked search applies, each beside its clause, in one place:
// a third code is one more branch of each function here. Lengths in mm, stresses in MPa, areas in
// cm² unless a name says otherwise.
namespace tresol::code {

enum class Code { EC2, ACI };

namespace rules {

// Concrete and steel of a member. fc is fck under EN 1992-1-1 and f'c under ACI 318; fy is fyk
// under EN and fy under ACI.
struct Materials {
    double fc = 0, fy = 0;
};

// The defaults when the user gives none: C25/30 and B500 under EN, 28 MPa and Grade 60 (420 MPa)
// under ACI.
Materials defaults(Code code);

// A concrete given as an EN class name ('C30/37', any case, blanks ignored) or a number in MPa
// ('30', '27,5'); nothing for any other text. Whether the value is in range is a separate check.
std::optional<double> concreteFromText(const std::string& text);

// Why a concrete or steel strength is not taken (Spanish), or empty when it is.
std::string materialsProblem(Code code, const Materials& m);

// Mean tensile strength fctm of EN 1992-1-1 Table 3.1.
double fctm(double fck);

// β1 of ACI 318-19 Table 22.2.2.4.3.
double beta1(double fc);

// Least clear distance between neighbouring bars of one layer, dMax the larger diameter:
// EN 8.2(2) max(φ, dg + 5, 20); ACI 25.2.1 max(25.4, db, 4/3 dagg) in beams, 25.2.3
// max(38.1, 1.5 db, 4/3 dagg) in columns.
double clearBetweenBars(Code code, bool column, double aggregateMm, double dMax);

// Least clear distance between two layers of a beam: EN 8.2(2) as between bars; ACI 25.2.2
// 25.4 mm, with the aggregate's 4/3 of 26.4.2.1(a)(4)(iii).
double clearBetweenLayers(Code code, double aggregateMm, double dMax);

// Largest centre-to-centre spacing of a beam's bars next to the tension face: the user's limit
// (300 mm by default), and under ACI 24.3.2 also 380(280/fs) − 2.5 cc and 300(280/fs) with
// fs = 2/3 fy, cc the clear cover of those bars.
double beamMaxSpacing(Code code, const Materials& m, double userMaxMm, double clearCoverMm);

// A beam's least steel as a ratio of b·d: EN 9.2.1.1(1) max(0.26 fctm/fyk, 0.0013); ACI 9.6.1.2
// max(0.25 √f'c / fy, 1.4 / fy).
double beamMinRatio(Code code, const Materials& m);
// Its text for a row's note ('0,26 fctm/fyk', '1,4/fy').
std::string beamMinWhy(Code code, const Materials& m);

// Largest steel ratio of the gross concrete area, 0 for none: EN 9.2.1.1(3) and 9.5.2(3) 0.04
// (outside laps); ACI 10.6.1.1 0.08 for columns (a beam's is its strain limit instead).
double maxRatio(Code code, bool column);

// A column's least steel ratio of the gross area: EN 9.5.2(2) 0.002 (its 0.10 N_Ed / fyd term
// needs the actions); ACI 10.6.1.1 0.01.
double columnMinRatio(Code code);

// Largest bar a cover (mm, to the bar) takes: EN 4.4.1.2(3) Table 4.2, the cover for bond
// cmin,b is the bar's diameter; ACI 20.5.1.3 sets covers by member, not by bar (infinity).
double largestBarForCover(Code code, double coverMm);

// Least bar diameter of a column a user may ask for: EN 9.5.2(1) 8 mm; ACI none.
double columnLeastBar(Code code);

// Least number of bars of a column of `corners` corners: ACI 10.7.3.1 four within rectangular
// or circular ties, three within triangular ones; EN one per corner (9.5.2(4)).
int columnLeastBars(Code code, int corners);

// ACI 9.3.3.1: the net tensile strain of a beam's extreme tension bar at nominal strength is at
// least 0.004. Bars as areas (cm²) at depths from the compression face (mm); rectangular stress
// block of 22.2.2.4, width b (mm), tension steel only.
bool tensionControlledEnough(const Materials& m, double widthMm, const double* areasCm2,
                             const double* depthsMm, int n);

} // namespace rules
} // namespace tresol::code
