#pragma once

#include "datasheets/CDatObj.h"
#include "datasheets/IHojaDat.h"
#include "platform/OrderedMap.h"

namespace tresol {

// The values an engineering object declares once and then reads and writes through a sheet.
// Each read or write marks the value handled; FinGestIO ends a pass and tells whether every
// input (or every result) was handled. A name that was not declared, declared twice or empty
// is a programming error.
class CGEsObjDat {
  public:
    void Ini() { datos_.clear(); }
    void AnyadeDatObj(const std::string& nombre, bool esDato, const std::string& descrip);

    std::string GetDatString(const std::string& nombre, IHojaDat& hoja, bool alertaSiVacio);
    float GetDatFloat(const std::string& nombre, IHojaDat& hoja, bool alertaSiCero);
    // −1 for true, 0 for false.
    float GetDatBoolean(const std::string& nombre, IHojaDat& hoja);
    bool FinGestIO(bool esDato);
    void OutHoja(const std::string& nombre, const Value& vaux, IHojaDat& hoja);

  private:
    OrderedMap<CDatObj> datos_;
};

} // namespace tresol
