#pragma once

#include "datasheets/IHojaDat.h"

namespace tresol {

// An engineering object that declares its values in a data-object manager and reads its input
// from, and writes its data and results to, a data sheet.
class IObjDat {
  public:
    virtual ~IObjDat() = default;

    virtual void IniGestionVariables() = 0;
    virtual bool IniDesdeHoja(IHojaDat& hoja) = 0;
    virtual void OutDatHoja(IHojaDat& hoja) = 0;
    virtual void OutResHoja(IHojaDat& hoja) = 0;
    virtual void ActualizaHojaConHoja(IHojaDat& hojaOrig, IHojaDat& hojaCopia) = 0;
};

} // namespace tresol
