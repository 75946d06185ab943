#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tresol {

// What the CAD plotter asks of a CAD program, in the shape of its automation model: an
// application with an active document, whose model space creates entities. Each `Add…` call
// hands back the new entity, which stays owned by the model space and lives as long as the
// document does.
//
// Points travel as the automation calls pass them: a point is three doubles (X, Y, Z); a list
// of points is a flat array, X, Y, Z of the first point first. Colours are indexes 0…15 of the
// drawing palette (kQBPalette).
//
// Calls with faulty arguments (a point list whose length is not a multiple of three, fewer
// points than the entity needs, a coordinate, height or radius that is not finite, a
// non-positive height or radius, a colour outside 0…15, a rotation axis of no length) are
// programming errors.

using CadPoint = std::array<double, 3>;

class CadEntity {
  public:
    virtual ~CadEntity() = default;

    virtual std::int16_t color() const = 0;
    virtual void color(std::int16_t index) = 0;

    // Turns the entity by `angle` radians about the axis through `p1` and `p2` (right-hand rule,
    // looking from `p2` towards `p1` the turn is counter-clockwise).
    virtual void Rotate3d(const CadPoint& p1, const CadPoint& p2, double angle) = 0;
};

class CadModelSpace {
  public:
    virtual ~CadModelSpace() = default;

    // A 3D polyline through the points (at least two).
    virtual CadEntity& Add3dpoly(const std::vector<double>& points) = 0;
    // A plane polyline through the points (at least two); it lies at the Z of its first point,
    // the other points' Z is not used.
    virtual CadEntity& AddPolyline(const std::vector<double>& points) = 0;
    // A line of text with its insertion point (the bottom-left corner), in the XY plane, reading
    // along X.
    virtual CadEntity& AddText(const std::string& text, const CadPoint& insertion,
                               double height) = 0;
    // A solid ball.
    virtual CadEntity& AddSphere(const CadPoint& centre, double radius) = 0;

    // The number of entities created so far.
    virtual std::int32_t Count() const = 0;
};

class CadDocument {
  public:
    virtual ~CadDocument() = default;

    virtual CadModelSpace& ModelSpace() = 0;
    // Saves the drawing under `path`; on failure the result is false and `error` says why.
    virtual bool SaveAs(const std::string& path, std::string& error) = 0;
};

class CadApplication {
  public:
    virtual ~CadApplication() = default;

    virtual CadDocument& ActiveDocument() = 0;
    virtual bool Visible() const = 0;
    virtual void Visible(bool visible) = 0;
};

// The automation class name under which the CAD plotter looks for its CAD program.
inline constexpr const char* kCadClassName = "AutoCAD.Application";

// The sessions and providers are kept for the whole process on purpose, as a CAD program's
// automation server is one per machine: every call below takes the registry's lock, so threads
// may start and attach sessions at once (a session itself belongs to the thread using it).

// Attaches to the session of `className` already open in this process: the most recently
// started one that somebody still holds. No object when there is none.
std::shared_ptr<CadApplication> CadAttach(const std::string& className);

// Starts a new session of `className` with a new, empty drawing as its active document, and
// makes it the one that CadAttach finds. No object when no provider serves that class.
// By default kCadClassName is served by the in-memory session that saves DXF drawings
// (CadDxf.h).
std::shared_ptr<CadApplication> CadStart(const std::string& className);

// Makes a new session; an empty result means the program cannot be started.
using CadProvider = std::function<std::shared_ptr<CadApplication>()>;

// Replaces the provider of `className` for the guard's lifetime (an empty provider makes the
// class unavailable) and hides the sessions already open, so that nothing can be attached while
// it is in force unless it was started under it.
class ScopedCadProvider {
  public:
    ScopedCadProvider(std::string className, CadProvider provider);
    ~ScopedCadProvider();
    ScopedCadProvider(const ScopedCadProvider&) = delete;
    ScopedCadProvider& operator=(const ScopedCadProvider&) = delete;

  private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

} // namespace tresol
