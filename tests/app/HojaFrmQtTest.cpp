#include "app/QtFormControls.h"
#include "datasheets/CHojaFrm.h"
#include "pieces/Cmateria.h"
#include "platform/Messages.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

using namespace tresol;
using platform::RecordingSink;
using Texts = std::vector<std::string>;

namespace {

template <class W> W* tagged(QWidget* parent, const char* tag, int index = -1) {
    auto* w = new W(parent);
    w->setProperty("tag", QString::fromUtf8(tag));
    if (index >= 0)
        w->setProperty("index", index);
    parent->layout()->addWidget(w);
    return w;
}

} // namespace

TEST(HojaFrmQt, ValuesTablesAndMessagesOnRealWidgets) {
    auto window = std::make_unique<QWidget>();
    window->setObjectName("Materialfrm");
    new QVBoxLayout(window.get());
    auto* nombre = tagged<QLineEdit>(window.get(), "Material.nombre");
    auto* tipo = tagged<QLabel>(window.get(), "Material.tipoMat");
    auto* box = new QGroupBox(window.get()); // controls inside a frame count as well
    new QVBoxLayout(box);
    window->layout()->addWidget(box);
    auto* young = tagged<QLineEdit>(box, "Material.modYoung");
    tagged<QLineEdit>(window.get(), "Material.pesoPorVolumen");
    tagged<QLineEdit>(window.get(), "Material.modpoisson");
    tagged<QLineEdit>(window.get(), "Material.tensionAdmisible");
    auto* activo = tagged<QCheckBox>(window.get(), "activo");
    auto* canto = tagged<QLineEdit>(window.get(), "canto");
    canto->setText("12.5 cm");
    canto->setEnabled(false);
    std::vector<QLineEdit*> celdas;
    for (int index = 3; index <= 8; ++index)
        celdas.push_back(tagged<QLineEdit>(window.get(), "T", index));
    window->show();

    app::QtFormControls form(window.get());
    RecordingSink rec;
    {
        CHojaFrm hoja;
        ASSERT_TRUE(hoja.Ini(form, true));
        Cmateria hormigon;
        ASSERT_TRUE(hormigon.IniSegunTipo(0));
        hormigon.OutDatHoja(hoja);
        EXPECT_EQ(nombre->text(), "Hormigon");
        EXPECT_EQ(tipo->text(), "0");
        EXPECT_EQ(tipo->toolTip(), "ref. tipo:");
        EXPECT_EQ(young->text(), "24821128");
        Cmateria leido;
        EXPECT_TRUE(leido.IniDesdeHoja(hoja));
        EXPECT_EQ(leido.GetPropMateria(7), hormigon.GetPropMateria(7));

        hoja.SetVariable("ACTIVO", 1);
        EXPECT_TRUE(activo->isChecked());
        EXPECT_TRUE(hoja.GetVarBoolean("activo"));

        EXPECT_FLOAT_EQ(hoja.GetVarFloat("canto"), 12.5f);

        Array2<float> m(0, 2, 1, 2);
        for (std::int32_t j = 1; j <= 2; ++j)
            for (std::int32_t i = 0; i <= 2; ++i)
                m(i, j) = static_cast<float>(10 * j + i);
        hoja.PoneTablaEnHoja("T", 0, 3, m, false);
        EXPECT_EQ(celdas[0]->text(), "10");
        EXPECT_EQ(celdas[3]->text(), "20");
        EXPECT_EQ(celdas[5]->text(), "22");
        Array2<float> leida;
        hoja.LlenaDeTablaSingle("t", "", 3, leida, false, false);
        EXPECT_EQ(leida, m);

        EXPECT_FALSE(hoja.SeleccionaHoja("Otra", &form));
        EXPECT_TRUE(hoja.SeleccionaHoja("material", &form));
        EXPECT_EQ(hoja.GetNombreHoja(), "Materialfrm");
    }
    EXPECT_FALSE(window->isVisible()); // released with UnloadAlSalir

    // A second line edit whose tag differs only in case.
    tagged<QLineEdit>(window.get(), "CANTO");
    form.refresh();
    CHojaFrm otra;
    EXPECT_FALSE(otra.Ini(form, false, "P"));
    EXPECT_EQ(nombre->property("tag").toString(), "P.Material.nombre");
    EXPECT_EQ(rec.texts(), (Texts{"Error grave: se toma un valor de un control desactivado.canto",
                                  "Error grave: hoja no valida :Otrafrm",
                                  "Formulario no válido, hay 2 tags iguales (canto)"}));
}
