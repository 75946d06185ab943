#pragma once

#include "strength/Section.h"

#include <vector>

// The integration behind the interaction curves and the checks: the stress resultants of one
// plane strain state over a section, exactly (no fibre mesh). Internal to strength/ (the tests
// and the benchmark reach it; callers use Strength.h). Units: m, MPa, MN, MN·m.
namespace tresol::strength::detail {

// A plane strain state seen along one direction d = (cos θ, sin θ) of the section: the strain
// (shortening positive) at t = d·(r − centroid) is ε(t) = top − kappa·(tMax − t), kappa ≥ 0, so
// the fibres furthest along d are the most compressed.
struct Strain {
    double top = 0, kappa = 0;
};

// Resultants about the gross centroid: N (compression positive), Mt = ∫σ t dA along d and
// Ms = ∫σ s dA along d⊥ = (−sin θ, cos θ).
struct Forces {
    double N = 0, Mt = 0, Ms = 0;
};

// One section, reused across directions without allocating once its buffers have grown.
class Engine {
  public:
    explicit Engine(const Section& s);

    // Sets the direction θ (rad) of the strain gradient: builds the rotated outline's slabs.
    void direction(double theta);
    double theta() const { return theta_; }
    double cosT() const { return c_; }
    double sinT() const { return s_; }
    double tMax() const { return tMax_; }
    double tMin() const { return tMin_; }
    double height() const { return tMax_ - tMin_; }
    bool hasBars() const { return !bars_.empty(); }
    double tBarMin() const { return tBarMin_; }

    // The ultimate strain states in one parameter p ∈ [0, 2], N rising with p in the first half:
    // p = 0 the tension vertex (every bar yielded in tension, no concrete); 0 < p ≤ 1 the
    // extreme fibre at εcu and the neutral axis at x = p·h; 1 < p < 2 the whole section
    // compressed, turning about the pivot (EN 6.1(6): εc2 at (1 − εc2/εcu2)·h from the extreme
    // fibre; ACI: εcu at the extreme fibre) until p = 2, the uniform strain εc2 (ACI εcu).
    Strain strainAt(double p) const;
    // The p of the state whose neutral axis lies at depth x (m) from the extreme fibre.
    double pForDepth(double x) const;
    // Depth of the neutral axis (m): infinity with no zero-strain line in compression, 0 for the
    // tension vertex.
    static double depth(const Strain& e);
    double strainAt(const Strain& e, double t) const { return e.top - e.kappa * (tMax_ - t); }

    Forces forces(const Strain& e) const;

    const Section& section() const { return *sec_; }

  private:
    void build(double theta);
    struct Slab {
        double a, b;       // t range
        double w0, w1;     // chord width w(t) = w0 + w1 t
        double s0, s1, s2; // first moment of the chord ∫s ds = s0 + s1 t + s2 t²
    };
    void concreteParabola(const Strain& e, Forces& f) const;
    void concreteBlock(double tb, Forces& f) const;
    static void addConstant(const Slab& sl, double u, double v, double sigma, Forces& f);

    const Section* sec_;
    DesignConstants k_;
    double theta_ = 0, c_ = 1, s_ = 0;
    double tMax_ = 0, tMin_ = 0, tBarMin_ = 0, tPivot_ = 0;
    std::vector<double> vt_, vs_, levels_;
    std::vector<int> order_, levelOf_;
    std::vector<Slab> slabs_;
    // Each bar along d and d⊥, its area, and half the side of the square of that area.
    struct BarAt {
        double t, s, a, half;
    };
    std::vector<BarAt> bars_;
};

} // namespace tresol::strength::detail
