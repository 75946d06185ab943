#pragma once

#include <string>

namespace tresol {

// One declared value of a data-object manager: its name on the sheet, whether it is an input
// or a result, and whether it has been handled in the current pass.
class CDatObj {
  public:
    void Ini(std::string nombre, bool esDato, std::string descrip) {
        nombre_ = std::move(nombre);
        esDato_ = esDato;
        descripcion_ = std::move(descrip);
    }
    bool GetEsDato() const { return esDato_; }
    const std::string& GetNombre() const { return nombre_; }
    void LetGestionado(bool laux) { gestionado_ = laux; }
    bool GetGestionado() const { return gestionado_; }
    const std::string& GetDescripcion() const { return descripcion_; }

  private:
    std::string descripcion_;
    std::string nombre_;
    bool esDato_ = false;
    bool gestionado_ = false;
};

} // namespace tresol
