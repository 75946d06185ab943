#pragma once

#include "platform/BoundedArray.h"
#include "platform/OrderedMap.h"
#include "platform/Value.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tresol {

class ICuadro;

// Named lists of plane points (y, z). One class plays two roles: a root owns a keyed collection
// of sections and forwards point requests to its active one; a section owns its points and a
// closed face polygon that joins its segment to the section of the same key in another root.
// A section refers back to its root without owning it, so a root and its sections never keep
// one another alive.
class CPto2d {
  public:
    CPto2d();
    ~CPto2d();
    CPto2d(const CPto2d&) = delete;
    CPto2d& operator=(const CPto2d&) = delete;

    // The active section of a root; empty until a section is created or activated.
    std::shared_ptr<CPto2d> PtoAcT;

    void NuevaSec(const std::string& ref);
    // Adds (y, z) unless it repeats the last point; a root keeps x and forwards to its active
    // section.
    bool NuevoPto(float x, float y, float z);
    // Sets the parent; an object that is its own parent is a root.
    void ObjParen(CPto2d& objaux);
    // The parent (non-owning): this object for a root, nothing once the root is gone.
    CPto2d* ObjParen() const { return parent_; }

    // Draws every section's face polygon, joined with the sections of cpto2dfin.
    void Dibuja(ICuadro& cuadro, CPto2d& cpto2dfin);

    void ActivaCOL(const std::string& ref);
    // Activates the section at 1-based position iaux. The answer is always false.
    bool ActivaCOLind(std::int32_t iaux);

    float Ycoor(std::int32_t iaux) const { return ys_(iaux); }
    float Zcoor(std::int32_t iaux) const { return zs_(iaux); }

    const std::string& ref() const { return ref_; }
    void ref(const std::string& saux) { ref_ = saux; }

    std::int32_t NumColec() const { return sections_.count(); }
    std::int32_t numCol() const { return sections_.count(); }
    std::int32_t NumP() const { return numP_; }

    // Builds the face polygons, pairing each section with the one of the same key in PtosFin.
    void CreaSecc(CPto2d& PtosFin);

    std::int32_t NumPtoColAct() const;
    // Element iaux of the face polygon's "y" or "z" coordinates.
    float CoorSecc(const std::string& ref, std::int32_t iaux) const;
    std::string RefColAct() const;

    // Extremes of rows 1 … NP of a point array: column 2 gives XZmaxX/XZminX, column 1
    // XZmaxZ/XZminZ. When iRef has the upper bound 1 or 3 it receives the rows of the extremes.
    static void MaxMin(const PointArray& pto2d, float& XZmaxX, float& XZminX, float& XZmaxZ,
                       float& XZminZ, std::int32_t NP, Array1<Value>& iRef);

  private:
    bool isRoot() const { return isRoot_; }
    CPto2d& active() const;
    void AnyadePto(float y, float z);
    bool CreaCaraLateral(const CPto2d& fin);

    std::string ref_;
    OrderedMap<std::shared_ptr<CPto2d>> sections_;
    float cutX_ = 0;
    Array1<float> ys_;
    Array1<float> zs_;
    Array1<float> faceYs_;
    Array1<float> faceZs_;
    std::int32_t numP_ = 0;
    CPto2d* parent_;
    bool isRoot_ = true;
};

} // namespace tresol
