#pragma once

#include "pieces/IPieza3D.h"
#include "platform/BoundedArray.h"
#include "reinforcement/Cdiametro.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tresol {

class CPosi3D;
class ICuadro;

// The longitudinal bars of one cross-section: positions (y, z) in the section plane and
// diameters from a catalogue. A bar that would overlap one already present is refused, so no
// two bars ever overlap (touching is allowed).
class Carmasec : public IPieza3D {
  public:
    Carmasec();
    ~Carmasec() override;

    // Binds the catalogue (required) and the placement used by the 3D drawing. Always false.
    bool Ini(std::shared_ptr<const Cdiametro> diametros, std::shared_ptr<const CPosi3D> posi3D,
             float xini, float xfin);

    // The most bars one line may ask for: the most the design window's search lists, and few
    // enough that placing and drawing them takes milliseconds. A longer line is refused whole,
    // with one message, instead of refusing bar after bar for minutes.
    static constexpr std::int32_t kMaxRedondosLinea = 1000;
    static void AvisaDemasiadosRedondos();

    // numArma bars evenly from (yini, zini) to (yfin, zfin), ends included; with ultimoNo the
    // bar at the end is left out, and a single bar goes to the middle when centrado. More than
    // kMaxRedondosLinea bars are refused (message, nothing added).
    void AnyadeLinea(float yini, float zini, float yfin, double zfin, std::int32_t indiDiam,
                     std::int32_t numArma, bool ultimoNo, bool centrado);
    // A line parallel to z with the bars' edge on coorY, on its positive side for plano 0 and
    // its negative side for plano 1.
    void AnyadeLineaYcte(float anchoSec, std::int32_t indiDiam, std::int32_t numArma,
                         float coorZini, float coorZfin, float coorY, std::int32_t plano);
    void AnyadeRedondo(float y, float z, std::int32_t indiDiam);

    std::int32_t GetNumeroRedondos() const;
    // '4 fi 16' when the bars are alike, equally spaced and aligned; otherwise empty.
    std::string GetLineaRedondos() const;
    bool GetSonTodosMismoPlano(float epsilon) const;
    bool GetSonTodosEquidis(float& dista, float epsilon) const;
    bool GetTodosMismoDiam(float& diametro, float epsilon) const;
    // Every bar as a circle of its radius on a plane drawing.
    void Dibuja(ICuadro& cuadro) const;

    // Bar i (1…n): position and catalogue index.
    float GetY(std::int32_t i) const { return redondos(i).y; }
    float GetZ(std::int32_t i) const { return redondos(i).z; }
    std::int32_t GetIndiDiam(std::int32_t i) const { return redondos(i).indiDiam; }
    // Bar i's diameter in metres, from the catalogue.
    float GetDiametro(std::int32_t i) const {
        return catalogue().GetDiametroMetros(redondos(i).indiDiam);
    }

    // The piece contract: a reinforcement set is steel (material kind 2) and draws its bars as
    // prisms; everything else is not a question for it.
    std::int32_t GetTipoMaterial() const override { return 2; }
    bool DibujaSeccion(ICuadro& cuadro, std::int32_t tipoOrienta, float coorCorte, float escala,
                       std::int16_t& color) override;

    float GetCantoIniY() const override;
    float GetCantoIniZ() const override;
    float GetAreaIni() const override;
    float GetJIni() const override;
    float GetIyyIni() const override;
    float GetIzzIni() const override;
    std::string GetRef() const override;
    void GetCoorPtoFin3D(float& x, float& y, float& z) const override;
    void GetCoorPtoMedio3D(float& x, float& y, float& z) const override;
    void GetCoorPtoIni3D(float& x, float& y, float& z) const override;
    void LetCoorTrasla(float x, float y, float z) override;
    void GetCoorTrasla(float& x, float& y, float& z) const override;
    void LetCoorGiro(float x, float y, float z) override;
    void GetCoorGiro(float& x, float& y, float& z) const override;
    bool BorraArma() override;
    bool AnyadeLineaArma3D(const std::string& sRefPieza, const std::string& sLineaArma,
                           std::int32_t nRefArmasec, std::int32_t planoArma, float coorZini,
                           float coorZfin, float separPlano) override;
    std::string GetLineaArma(std::int32_t armaObj) const override;
    float GetLargoX() const override;
    void GetMaxMinXYZ(float& xmax, float& xmin, float& ymax, float& ymin, float& zmax,
                      float& zmin) override;
    float GetVolumen() const override;
    float GetVolumenMaterial(const Cmateria* material) const override;
    float GetPropMateria(std::int32_t propMater) const override;

  private:
    struct Redondo {
        std::int32_t indiDiam = 0;
        float y = 0.0f;
        float z = 0.0f;
    };

    bool CabeRedondo(float y, float z, std::int32_t indiDiam) const;
    float GetDistancia(const Redondo& a, float y, float z) const;
    float GetDistanciaMinima(std::int32_t indi1, std::int32_t indi2) const;
    // A catalogue diameter (m), from the cache when the index is in it.
    float diameterOf(std::int32_t indiDiam) const;
    const Cdiametro& catalogue() const;

    // Bars bucketed on a square grid whose cell is the largest diameter of the catalogue: two
    // bars can only overlap when they lie in neighbouring cells, so the overlap check looks at
    // a handful of bars instead of all of them. Bars too far out for a cell index are kept
    // apart and always checked.
    struct CellKey {
        std::int64_t y, z;
        bool operator==(const CellKey&) const = default;
    };
    // Below this many bars the overlap check looks at every bar: cheaper than the grid.
    static constexpr std::int32_t kGridFrom = 24;
    bool cellOf(float y, float z, CellKey& key) const;
    void index(std::int32_t bar);

    float xini = 0.0f;
    float xfin = 0.0f;
    Array1<Redondo> redondos;
    std::shared_ptr<const Cdiametro> diametros;
    std::shared_ptr<const CPosi3D> posi3D;

    std::vector<float> diam_;
    std::int32_t indiMin_ = 0;
    double cell_ = 0.0;
    // The occupied cells in an open-addressed table (a power of two long, at most half full);
    // each heads a chain of its bars through next_ (0 ends a chain and marks a free slot).
    struct Cell {
        CellKey key{};
        std::int32_t head = 0;
    };
    std::size_t slotOf(const CellKey& key) const;
    void gridInsert(const CellKey& key, std::int32_t bar);
    std::int32_t gridHead(const CellKey& key) const;
    void gridClear();

    std::vector<Cell> cells_;
    std::size_t usedCells_ = 0;
    std::vector<std::int32_t> next_;
    std::vector<std::int32_t> outside_;
};

} // namespace tresol
