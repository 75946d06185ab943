#include "datasheets/CGEsObjDat.h"

#include "platform/ProgrammingError.h"

namespace tresol {

void CGEsObjDat::AnyadeDatObj(const std::string& nombre, bool esDato, const std::string& descrip) {
    if (nombre.empty())
        throw ProgrammingError("a declared value needs a name");
    CDatObj dato;
    dato.Ini(nombre, esDato, descrip);
    datos_.add(nombre, std::move(dato));
}

// Each read goes through a copy of the name: a sheet may qualify the name it is given.
std::string CGEsObjDat::GetDatString(const std::string& nombre, IHojaDat& hoja,
                                     bool alertaSiVacio) {
    CDatObj& dato = datos_.get(nombre);
    std::string name = nombre;
    std::string text = valueText(hoja.GetVariableDeHoja(name, alertaSiVacio));
    dato.LetGestionado(true);
    return text;
}

float CGEsObjDat::GetDatFloat(const std::string& nombre, IHojaDat& hoja, bool alertaSiCero) {
    CDatObj& dato = datos_.get(nombre);
    std::string name = nombre;
    const float v = hoja.GetVarFloat(name, alertaSiCero);
    dato.LetGestionado(true);
    return v;
}

float CGEsObjDat::GetDatBoolean(const std::string& nombre, IHojaDat& hoja) {
    CDatObj& dato = datos_.get(nombre);
    std::string name = nombre;
    const bool v = hoja.GetVarBoolean(name);
    dato.LetGestionado(true);
    return v ? -1.0f : 0.0f;
}

void CGEsObjDat::OutHoja(const std::string& nombre, const Value& vaux, IHojaDat& hoja) {
    CDatObj& dato = datos_.get(nombre);
    hoja.SetVariable(nombre, vaux, dato.GetDescripcion());
    dato.LetGestionado(true);
}

bool CGEsObjDat::FinGestIO(bool esDato) {
    bool complete = true;
    for (auto& [name, dato] : datos_) {
        if (dato.GetEsDato() != esDato)
            continue;
        if (dato.GetGestionado())
            dato.LetGestionado(false);
        else
            complete = false;
    }
    return complete;
}

} // namespace tresol
