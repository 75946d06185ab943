#include "design/SectionDxf.h"

#include "design/Design.h"
#include "design/Members.h"
#include "drawing/DxfCheck.h"
#include "reinforcement/Carmasec.h"
#include "reinforcement/Fixtures.h"
#include "sections/CSeccEstruc.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace tresol;
using design::writeSectionDxf;
using ::testing::ElementsAre;
using tresol::testing::DxfDir;
using tresol::testing::DxfEntity;
using tresol::testing::DxfReadBack;

namespace {

constexpr double kTol = 1e-3; // mm

// As the design window builds them: a beam b wide across z and h high up y, and a column of
// `sides` sides inscribed in a circle of radius r.
std::shared_ptr<CSeccEstruc> beam(float b, float h) {
    auto s = std::make_shared<CSeccEstruc>();
    const PointArray pts = makePointArray(
        {{-h / 2, -b / 2}, {h / 2, -b / 2}, {h / 2, b / 2}, {-h / 2, b / 2}, {-h / 2, -b / 2}});
    EXPECT_TRUE(s->IniPorPuntos(3, 0, pts, fixtures::windowCatalogue("Euro"), Value{0.0f}, false));
    return s;
}

design::Placement placed(design::MemberKind kind, double areaCm2, double widthCm, double heightCm,
                         double multiple, std::int32_t row) {
    return design::design(design::fixtures::member(kind, areaCm2, 3, widthCm, heightCm, multiple))
        .place(row);
}

std::vector<const DxfEntity*> ofKind(const DxfReadBack& r, const std::string& kind,
                                     const std::string& layer = "") {
    std::vector<const DxfEntity*> out;
    for (const DxfEntity& e : r.entities)
        if (e.kind == kind && (layer.empty() || e.at("layer") == layer))
            out.push_back(&e);
    return out;
}

const DxfEntity& named(const DxfReadBack& r, const std::string& kind, const std::string& name) {
    for (const DxfEntity& e : r.entities)
        if (e.kind == kind && e.at("name") == name)
            return e;
    static const DxfEntity none;
    ADD_FAILURE() << "no " << kind << " " << name;
    return none;
}

std::map<std::string, int> census(const DxfReadBack& r) {
    std::map<std::string, int> n;
    for (const DxfEntity& e : r.entities)
        if (!e.at("layer").empty())
            ++n[e.at("layer") + " " + e.kind];
    return n;
}

void expectNear(const std::vector<double>& got, const std::vector<double>& want,
                const std::string& id) {
    EXPECT_THAT(got, ::testing::Pointwise(::testing::DoubleNear(kTol), want)) << id;
}

// The file's frame and flat entities, whatever the section.
void expectPlanDrawing(const DxfReadBack& r, const std::string& id) {
    EXPECT_EQ(r.auditErrors, 0) << id;
    const auto& h = ofKind(r, "HEADER");
    ASSERT_EQ(h.size(), 1u) << id;
    EXPECT_EQ(h[0]->at("acadver"), "AC1015") << id;
    EXPECT_EQ(h[0]->number("insunits"), 4) << id;
    EXPECT_EQ(h[0]->number("measurement"), 1) << id;
    const std::map<std::string, std::pair<int, std::string>> layers = {
        {"HORMIGON", {7, "CONTINUOUS"}},
        {"ARMADO", {1, "CONTINUOUS"}},
        {"TEXTO", {5, "CONTINUOUS"}},
        {"RECUBRIMIENTO", {8, "DASHED"}}};
    for (const auto& [name, look] : layers) {
        const DxfEntity& l = named(r, "LAYER", name);
        EXPECT_EQ(l.number("aci"), look.first) << id << " " << name;
        EXPECT_EQ(l.at("linetype"), look.second) << id << " " << name;
    }
    EXPECT_EQ(named(r, "LTYPE", "DASHED").number("dashes"), 2) << id;
    EXPECT_EQ(named(r, "STYLE", "SECCION").at("font"), "txt") << id;
    for (const DxfEntity& e : r.entities) {
        for (const char* key : {"pts", "centre", "ins", "elevation"}) {
            const auto v = e.numbers(key);
            if (e.kind == "HATCH" && std::string(key) == "centre")
                continue; // a boundary edge's centre is 2D
            for (std::size_t i = 2; i < v.size(); i += 3)
                EXPECT_EQ(v[i], 0.0) << id << " " << e.kind << " " << key;
        }
        if (!e.at("normal").empty()) {
            EXPECT_EQ(e.numbers("normal"), (std::vector<double>{0, 0, 1})) << id << " " << e.kind;
        }
    }
}

} // namespace

// The 30 × 50 beam with '5 fi 16' on its bottom face at 3 cm cover (the first row for 10 cm²),
// and the hexagonal column of 40 cm radius with '30 fi 12' around it (the second row for
// 30 cm²), as the design runs place them, read back by ezdxf.
TEST(SectionDxf, BeamAndHexagonalColumnReadBackAsPlaced) {
    DxfDir dir;
    const auto b = placed(design::MemberKind::Beam, 10, 30, 50, 1, 1);
    const auto c = placed(design::MemberKind::Column, 30, 40, 40, 6, 2);
    ASSERT_EQ(b.line, "5 fi 16");
    ASSERT_EQ(c.line, "30 fi 12");
    ASSERT_TRUE(b.section && c.section);

    struct Case {
        const char* id;
        std::shared_ptr<const CSeccEstruc> section;
        std::string line, size;
        int bars;
        double radius, textHeight;
    };
    // Text height: 0.06 × the larger extent, 500 mm for the beam and 800 mm (two radii, a
    // vertex up) for the column.
    const Case cases[] = {
        {"beam", b.section, "5 fi 16", "30 x 50", 5, 8.0, 30.0},
        {"column", c.section, "30 fi 12", "6 lados, R = 40", 30, 6.0, 48.0},
    };
    std::map<std::string, DxfReadBack> read;
    for (const Case& k : cases) {
        const std::string file = dir.file(std::string(k.id) + ".dxf");
        std::string error;
        ASSERT_TRUE(writeSectionDxf(file, *k.section, k.line, error)) << k.id << ": " << error;
        const DxfReadBack& r = read[k.id] = tresol::testing::readSectionDxf(file);
        if (!r.skipped.empty())
            GTEST_SKIP() << r.skipped;
        ASSERT_EQ(r.failure, "") << k.id;
        expectPlanDrawing(r, k.id);

        EXPECT_EQ(census(r), (std::map<std::string, int>{{"HORMIGON LWPOLYLINE", 1},
                                                         {"RECUBRIMIENTO LWPOLYLINE", 1},
                                                         {"ARMADO CIRCLE", k.bars},
                                                         {"ARMADO HATCH", k.bars},
                                                         {"TEXTO TEXT", 2}}))
            << k.id;

        // Each bar where the section placed it, filled by a hatch; one diameter: layer colour.
        const auto armado = k.section->GetArmado();
        ASSERT_TRUE(armado) << k.id;
        ASSERT_EQ(armado->GetNumeroRedondos(), k.bars) << k.id;
        const auto circles = ofKind(r, "CIRCLE");
        const auto hatches = ofKind(r, "HATCH");
        for (std::int32_t i = 1; i <= k.bars; ++i) {
            const std::string bar = std::string(k.id) + " bar " + std::to_string(i);
            const std::vector<double> centre = {armado->GetZ(i) * 1000.0, armado->GetY(i) * 1000.0,
                                                0.0};
            const DxfEntity& circle = *circles[static_cast<std::size_t>(i - 1)];
            const DxfEntity& hatch = *hatches[static_cast<std::size_t>(i - 1)];
            expectNear(circle.numbers("centre"), centre, bar);
            EXPECT_NEAR(circle.number("radius"), k.radius, kTol) << bar;
            EXPECT_EQ(circle.number("aci"), 256) << bar;
            EXPECT_EQ(hatch.at("solid"), "1") << bar;
            EXPECT_EQ(hatch.at("edges"), "ARC") << bar; // one boundary, the bar's circle
            expectNear(hatch.numbers("centre"), {centre[0], centre[1]}, bar);
            EXPECT_NEAR(hatch.number("radius"), k.radius, kTol) << bar;
        }

        const auto outline = ofKind(r, "LWPOLYLINE", "HORMIGON");
        ASSERT_EQ(outline.size(), 1u) << k.id;
        EXPECT_EQ(outline[0]->at("closed"), "1") << k.id;

        const auto texts = ofKind(r, "TEXT", "TEXTO");
        ASSERT_EQ(texts.size(), 2u) << k.id;
        EXPECT_EQ(texts[0]->at("text"), k.size) << k.id;
        EXPECT_EQ(texts[1]->at("text"), k.line) << k.id;
        const auto pts = outline[0]->numbers("pts");
        double ymin = pts[1], ymax = pts[1];
        for (std::size_t i = 1; i < pts.size(); i += 3) {
            ymin = std::min(ymin, pts[i]);
            ymax = std::max(ymax, pts[i]);
        }
        for (const DxfEntity* t : texts) {
            EXPECT_EQ(t->at("style"), "SECCION") << k.id;
            EXPECT_NEAR(t->number("height"), k.textHeight, kTol) << k.id;
            EXPECT_LT(t->numbers("ins")[1] + k.textHeight, ymin) << k.id << " " << t->at("text");
        }

        // The extents, measured and in the header, reach from the texts to the section's top.
        for (const auto& [kind, low, high] :
             {std::tuple{"EXTENTS", "min", "max"}, std::tuple{"HEADER", "extmin", "extmax"}}) {
            const DxfEntity& e = *ofKind(r, kind)[0];
            EXPECT_LE(e.numbers(low)[1], texts[1]->numbers("ins")[1]) << k.id << " " << kind;
            EXPECT_NEAR(e.numbers(high)[1], ymax, kTol) << k.id << " " << kind;
        }
    }

    // The beam by hand (X across = the section's z, Y up = its y): the outline 300 wide and 500
    // high, the dashed cover line 30 mm inside it.
    const DxfReadBack& r = read["beam"];
    expectNear(ofKind(r, "LWPOLYLINE", "HORMIGON")[0]->numbers("pts"),
               {-150, -250, 0, -150, 250, 0, 150, 250, 0, 150, -250, 0}, "beam outline");
    const auto cover = ofKind(r, "LWPOLYLINE", "RECUBRIMIENTO");
    ASSERT_EQ(cover.size(), 1u);
    EXPECT_EQ(cover[0]->at("linetype"), "DASHED");
    expectNear(cover[0]->numbers("pts"), {-120, -220, 0, -120, 220, 0, 120, 220, 0, 120, -220, 0},
               "beam cover");
}

// Bars of two sizes: each size its own colour, the same for the circle and the hatch of a bar;
// the section without a line has only its size for a text; a bare section no cover line.
TEST(SectionDxf, MixedDiametersColouredAndTextsFollowWhatThereIs) {
    DxfDir dir;
    auto mixed = beam(0.30f, 0.50f);
    mixed->AnyadeRefuerzoLineaCentrada("3 fi 20", 0.03f, 1);
    mixed->AnyadeRefuerzoLineaCentrada("2 fi 12", 0.03f, 0);
    std::string error;
    ASSERT_TRUE(writeSectionDxf(dir.file("mixed.dxf"), *mixed, "", error)) << error;
    DxfReadBack r = tresol::testing::readSectionDxf(dir.file("mixed.dxf"));
    if (!r.skipped.empty())
        GTEST_SKIP() << r.skipped;
    expectPlanDrawing(r, "mixed");
    std::map<long, std::set<long>> colourOfRadius; // radius → colours of circles and hatches
    for (const char* kind : {"CIRCLE", "HATCH"})
        for (const DxfEntity* e : ofKind(r, kind, "ARMADO"))
            colourOfRadius[std::lround(e->number("radius"))].insert(std::lround(e->number("aci")));
    EXPECT_EQ(colourOfRadius, (std::map<long, std::set<long>>{{6, {1}}, {10, {6}}}))
        << "the smaller size in the first colour";
    ASSERT_EQ(ofKind(r, "TEXT").size(), 1u);
    EXPECT_EQ(ofKind(r, "TEXT")[0]->at("text"), "30 x 50");

    // A 40 × 40 square column reads as its sides; without bars, no cover line.
    ASSERT_TRUE(writeSectionDxf(dir.file("bare.dxf"), *beam(0.40f, 0.40f), "4 fi 12", error));
    r = tresol::testing::readSectionDxf(dir.file("bare.dxf"));
    EXPECT_EQ(r.auditErrors, 0);
    EXPECT_EQ(census(r),
              (std::map<std::string, int>{{"HORMIGON LWPOLYLINE", 1}, {"TEXTO TEXT", 2}}));
    EXPECT_EQ(ofKind(r, "TEXT")[0]->at("text"), "40 x 40");
}

// Nothing to draw, or nowhere to write it: the user's message, and no file left behind.
TEST(SectionDxf, NothingOrNowhereToWriteLeavesNoFile) {
    DxfDir scratch;
    const std::filesystem::path base = scratch.file("failures");
    std::filesystem::remove_all(base);
    std::filesystem::create_directory(base);
    const auto file = [&](const char* name) { return (base / name).string(); };
    const auto entries = [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(base))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    std::string error;
    EXPECT_FALSE(writeSectionDxf(file("empty.dxf"), CSeccEstruc{}, "5 fi 16", error));
    EXPECT_EQ(error, "No hay ninguna sección dibujada que exportar.");
    EXPECT_THAT(entries(), ::testing::IsEmpty());

    auto b = beam(0.30f, 0.50f);
    b->AnyadeRefuerzoLineaCentrada("5 fi 16", 0.03f, 0);
    const std::string missing = file("missing/beam.dxf");
    EXPECT_FALSE(writeSectionDxf(missing, *b, "5 fi 16", error));
    EXPECT_EQ(error, "No se ha podido escribir el archivo " + missing);
    EXPECT_THAT(entries(), ::testing::IsEmpty());

    // A directory in the way: written beside it, then refused the rename, and cleaned up.
    std::filesystem::create_directory(file("taken.dxf"));
    error.clear();
    EXPECT_FALSE(writeSectionDxf(file("taken.dxf"), *b, "5 fi 16", error));
    EXPECT_EQ(error, "No se ha podido escribir el archivo " + file("taken.dxf"));
    EXPECT_THAT(entries(), ElementsAre("taken.dxf"));
    EXPECT_TRUE(std::filesystem::is_empty(file("taken.dxf")));

    // An existing drawing is replaced whole.
    const std::string beamFile = file("beam.dxf");
    std::ofstream(beamFile) << "old";
    ASSERT_TRUE(writeSectionDxf(beamFile, *b, "5 fi 16", error)) << error;
    EXPECT_THAT(entries(), ElementsAre("beam.dxf", "taken.dxf"));
    std::ifstream in(beamFile);
    EXPECT_NE(std::string(std::istreambuf_iterator<char>(in), {}).substr(0, 3), "old");
}
