#include "geometry/CPto2d.h"

#include "drawing/ICuadro.h"
#include "platform/ProgrammingError.h"

#include <array>
#include <limits>

namespace tresol {

CPto2d::CPto2d() : parent_(this) {}

CPto2d::~CPto2d() {
    // A section kept alive elsewhere must not point at a root that is gone.
    for (auto& [key, section] : sections_)
        if (section && section->parent_ == this)
            section->parent_ = nullptr;
}

void CPto2d::ObjParen(CPto2d& objaux) {
    parent_ = &objaux;
    isRoot_ = &objaux == this;
}

void CPto2d::NuevaSec(const std::string& ref) {
    auto section = std::make_shared<CPto2d>();
    section->ObjParen(*this);
    section->ref(ref);
    sections_.add(ref, std::move(section));
    PtoAcT = sections_.get(ref);
}

CPto2d& CPto2d::active() const {
    if (!PtoAcT)
        throw ProgrammingError("CPto2d: no active section");
    return *PtoAcT;
}

bool CPto2d::NuevoPto(float x, float y, float z) {
    if (isRoot()) {
        CPto2d& section = active();
        cutX_ = x;
        return section.NuevoPto(x, y, z);
    }
    if (numP_ > 0 && ys_(numP_) == y && zs_(numP_) == z)
        return false;
    AnyadePto(y, z);
    return true;
}

void CPto2d::AnyadePto(float y, float z) {
    // Faces need 2·NumP + 1 entries: keep that count a 32-bit number.
    if (numP_ >= std::numeric_limits<std::int32_t>::max() / 2 - 1)
        throw ProgrammingError("CPto2d: too many points");
    ++numP_;
    ys_.redimPreserve(1, numP_);
    zs_.redimPreserve(1, numP_);
    ys_(numP_) = y;
    zs_(numP_) = z;
}

void CPto2d::ActivaCOL(const std::string& ref) {
    PtoAcT = sections_.get(ref);
}

bool CPto2d::ActivaCOLind(std::int32_t iaux) {
    PtoAcT = sections_.at(iaux);
    return false;
}

void CPto2d::CreaSecc(CPto2d& PtosFin) {
    if (isRoot()) {
        for (auto& [key, section] : sections_) {
            PtosFin.ActivaCOL(section->ref());
            section->CreaSecc(PtosFin);
        }
        return;
    }
    CreaCaraLateral(PtosFin.active());
}

bool CPto2d::CreaCaraLateral(const CPto2d& fin) {
    faceYs_.redim(1, 2 * numP_ + 1);
    faceZs_.redim(1, 2 * numP_ + 1);
    if (numP_ != 2)
        return false;
    struct Point {
        float y, z;
    };
    const Point p1{ys_(1), zs_(1)}, p2{ys_(2), zs_(2)};
    const Point q1{fin.Ycoor(1), fin.Zcoor(1)}, q2{fin.Ycoor(2), fin.Zcoor(2)};
    // The order keeps one winding whichever way the segment was entered.
    const std::array<Point, 5> face = p1.z < p2.z ? std::array<Point, 5>{p1, p2, q2, q1, p1}
                                                  : std::array<Point, 5>{p1, q1, q2, p2, p1};
    for (std::int32_t k = 1; k <= 5; ++k) {
        faceYs_(k) = face[static_cast<std::size_t>(k - 1)].y;
        faceZs_(k) = face[static_cast<std::size_t>(k - 1)].z;
    }
    return true;
}

void CPto2d::Dibuja(ICuadro& cuadro, CPto2d& cpto2dfin) {
    if (isRoot()) {
        CreaSecc(cpto2dfin);
        for (auto& [key, section] : sections_)
            section->Dibuja(cuadro, cpto2dfin);
        return;
    }
    if (numP_ > 0)
        cuadro.DibuGener2(2 * numP_ + 1, faceYs_, faceZs_);
}

std::int32_t CPto2d::NumPtoColAct() const {
    const std::int32_t n = active().NumP();
    return n > 0 ? 2 * n + 1 : 0;
}

float CPto2d::CoorSecc(const std::string& ref, std::int32_t iaux) const {
    if (isRoot())
        return active().CoorSecc(ref, iaux);
    if (ref == "y")
        return faceYs_(iaux);
    if (ref == "z")
        return faceZs_(iaux);
    throw ProgrammingError("CoorSecc: coordinate must be \"y\" or \"z\"");
}

std::string CPto2d::RefColAct() const {
    return active().ref();
}

void CPto2d::MaxMin(const PointArray& pto2d, float& XZmaxX, float& XZminX, float& XZmaxZ,
                    float& XZminZ, std::int32_t NP, Array1<Value>& iRef) {
    // The row counter of this routine has always been 16-bit.
    if (NP > std::numeric_limits<std::int16_t>::max())
        throw ProgrammingError("MaxMin: more than 32767 rows");
    XZmaxX = XZminX = pto2d(1, 2);
    XZmaxZ = XZminZ = pto2d(1, 1);
    std::int32_t rowMaxX = 1, rowMinX = 1, rowMaxZ = 1, rowMinZ = 1;
    for (std::int32_t i = 2; i <= NP; ++i) {
        const float z = pto2d(i, 1);
        const float x = pto2d(i, 2);
        if (x > XZmaxX) {
            XZmaxX = x;
            rowMaxX = i;
        }
        if (x < XZminX) {
            XZminX = x;
            rowMinX = i;
        }
        if (z > XZmaxZ) {
            XZmaxZ = z;
            rowMaxZ = i;
        }
        if (z < XZminZ) {
            XZminZ = z;
            rowMinZ = i;
        }
    }
    if (!iRef.allocated())
        return;
    const auto upper = iRef.upper();
    if (upper != 1 && upper != 3)
        return;
    iRef(0) = rowMinZ;
    iRef(1) = rowMaxZ;
    if (upper == 3) {
        iRef(2) = rowMinX;
        iRef(3) = rowMaxX;
    }
}

} // namespace tresol
