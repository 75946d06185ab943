#include "app/QtFormControls.h"
#include "datasheets/CHojaFrm.h"
#include "pieces/Cmateria.h"
#include "platform/Messages.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace tresol;

template <class W> static W* tagged(QWidget* parent, const char* tag) {
    auto* w = new W(parent);
    w->setProperty("tag", QString::fromUtf8(tag));
    return w;
}

// (Tables on control arrays: CHojaFrm.TableOnAControlArrayAndSheetSelection.)
TEST(HojaFrmQt, ValuesAndMessagesOnRealWidgets) {
    QWidget window;
    window.setObjectName("Materialfrm");
    auto* nombre = tagged<QLineEdit>(&window, "Material.nombre");
    auto* tipo = tagged<QLabel>(&window, "Material.tipoMat");
    auto* young = tagged<QLineEdit>(new QGroupBox(&window), "Material.modYoung"); // framed
    for (auto tag : {"Material.pesoPorVolumen", "Material.modpoisson", "Material.tensionAdmisible"})
        tagged<QLineEdit>(&window, tag);
    auto* activo = tagged<QCheckBox>(&window, "activo");
    auto* canto = tagged<QLineEdit>(&window, "canto");
    canto->setText("12.5 cm");
    canto->setEnabled(false);
    window.show();

    app::QtFormControls form(&window);
    platform::RecordingSink rec;
    {
        CHojaFrm hoja;
        ASSERT_TRUE(hoja.Ini(form, true));
        Cmateria hormigon, leido;
        ASSERT_TRUE(hormigon.IniSegunTipo(0));
        hormigon.OutDatHoja(hoja);
        EXPECT_EQ(std::tuple(nombre->text(), tipo->text(), tipo->toolTip(), young->text()),
                  std::tuple("Hormigon", "0", "ref. tipo:", "24821128"));
        EXPECT_TRUE(leido.IniDesdeHoja(hoja));
        EXPECT_EQ(leido.GetPropMateria(7), hormigon.GetPropMateria(7));

        hoja.SetVariable("ACTIVO", 1);
        EXPECT_TRUE(activo->isChecked());
        EXPECT_TRUE(hoja.GetVarBoolean("activo"));
        EXPECT_FLOAT_EQ(hoja.GetVarFloat("canto"), 12.5f);

        EXPECT_FALSE(hoja.SeleccionaHoja("Otra", &form));
        EXPECT_TRUE(hoja.SeleccionaHoja("material", &form));
    }
    EXPECT_FALSE(window.isVisible()) << "released with UnloadAlSalir";

    tagged<QLineEdit>(&window, "CANTO"); // a tag differing only in case
    form.refresh();
    EXPECT_FALSE(CHojaFrm().Ini(form, false, "P"));
    EXPECT_EQ(nombre->property("tag").toString(), "P.Material.nombre");
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{
                               "Error grave: se toma un valor de un control desactivado.canto",
                               "Error grave: hoja no valida :Otrafrm",
                               "Formulario no válido, hay 2 tags iguales (canto)"}));
}
