#include "drawing/DxfExport.h"
#include "drawing/CadSession.h"
#include "drawing/DxfCheck.h"
#include "drawing/ICuadro.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tresol;
using tresol::testing::DxfDir;

TEST(DxfExport, FailuresLeaveNoFile) {
    DxfDir dir;
    std::string error;
    {
        ScopedCadProvider none(kCadClassName, nullptr);
        platform::RecordingSink rec;
        EXPECT_FALSE(ExportDxf(dir.file("a.dxf"), nullptr, error));
        EXPECT_EQ(error, "No se ha creado sesion de CAD");
        EXPECT_TRUE(rec.entries().empty()) << "the caller reports the error";
    }
    error.clear();
    EXPECT_FALSE(ExportDxf(dir.file("missing/b.dxf"), nullptr, error));
    EXPECT_EQ(error, "No se ha podido escribir el archivo " + dir.file("missing/b.dxf"));

    const auto faulty = [](ICuadro& c) { c.MinX(); };
    EXPECT_THROW(ExportDxf(dir.file("c.dxf"), faulty, error), ProgrammingError);
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.dxf")));
}
