#include "reinforcement/Carmasec.h"
#include "drawing/CCuadroDibujo.h"
#include "drawing/Canvas.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

using namespace tresol;
using platform::RecordingSink;
using Lines = std::vector<std::string>;

namespace {

Carmasec bars(std::shared_ptr<Cdiametro> cat = fixtures::windowCatalogue("Euro")) {
    Carmasec a;
    a.Ini(cat, nullptr, 0, 1);
    return a;
}

std::vector<std::pair<float, float>> positions(const Carmasec& a) {
    std::vector<std::pair<float, float>> out;
    for (int i = 1; i <= a.GetNumeroRedondos(); ++i)
        out.emplace_back(a.GetY(i), a.GetZ(i));
    return out;
}

constexpr std::int32_t k16 = 5, k20 = 6;

} // namespace

TEST(Carmasec, TouchingBarsFitOverlappingOnesAreRefused) {
    RecordingSink rec;
    Carmasec a = bars();
    a.AnyadeRedondo(0, 0, k16);
    a.AnyadeRedondo(0, 0.016f, k16); // touching
    EXPECT_EQ(a.GetNumeroRedondos(), 2);
    EXPECT_TRUE(rec.texts().empty());
    a.AnyadeRedondo(0.0159f, 0, k16);
    EXPECT_EQ(a.GetNumeroRedondos(), 2);
    EXPECT_EQ(rec.texts(), Lines{"Se ha intentado meter un redondo que no cabe"});

    rec.clear();
    a.AnyadeRedondo(1, 1, 0);
    a.AnyadeRedondo(1, 1, 8);
    EXPECT_EQ(rec.texts(),
              (Lines{"Error en la asignacion de diametro", "Error en la asignacion de diametro"}));
    EXPECT_EQ(a.GetNumeroRedondos(), 2);
}

TEST(Carmasec, LinesOfBars) {
    Carmasec a = bars();
    a.AnyadeLinea(0, 0, 0, 0.3, k16, 4, false, false);
    EXPECT_EQ(positions(a),
              (std::vector<std::pair<float, float>>{{0, 0}, {0, 0.1f}, {0, 0.2f}, {0, 0.3f}}));

    Carmasec b = bars();
    b.AnyadeLinea(0, 0, 0, 0.3, k16, 4, true, false);
    ASSERT_EQ(b.GetNumeroRedondos(), 3);
    EXPECT_FLOAT_EQ(b.GetZ(3), 0.2f);

    Carmasec c = bars();
    c.AnyadeLinea(0, 0, 0, 0.3, k16, 1, false, true);
    ASSERT_EQ(c.GetNumeroRedondos(), 1);
    EXPECT_FLOAT_EQ(c.GetZ(1), 0.15f);
    c.AnyadeLinea(0.1f, 0, 0.1f, 0.3, k16, 1, true, false); // one bar, not centred: the start
    EXPECT_FLOAT_EQ(c.GetZ(2), 0.0f);
    c.AnyadeLinea(0, 0, 0, 0.3, k16, 0, false, true);
    EXPECT_EQ(c.GetNumeroRedondos(), 2);

    // A partly colliding line goes in partly, one message per refused bar.
    RecordingSink rec;
    Carmasec d = bars();
    d.AnyadeRedondo(0, 0.1f, k20);
    d.AnyadeLinea(0, 0, 0, 0.3, k16, 4, false, false);
    EXPECT_EQ(d.GetNumeroRedondos(), 4);
    EXPECT_EQ(rec.texts().size(), 1u);
}

TEST(Carmasec, LineAtConstantYAndItsArrangementLine) {
    Carmasec a = bars();
    a.AnyadeLineaYcte(0.3f, k16, 4, -0.1f, 0.1f, -0.25f, 0);
    ASSERT_EQ(a.GetNumeroRedondos(), 4);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FLOAT_EQ(a.GetY(i), -0.242f) << i;
    EXPECT_FLOAT_EQ(a.GetZ(1), -0.1f);
    EXPECT_EQ(a.GetLineaRedondos(), "4 fi 16");
    float dista = 0, diam = 0;
    EXPECT_TRUE(a.GetSonTodosEquidis(dista, 1e-4f));
    EXPECT_NEAR(dista, 0.2 / 3, 1e-6);
    EXPECT_TRUE(a.GetTodosMismoDiam(diam, 1e-4f));
    EXPECT_FLOAT_EQ(diam, 0.016f);

    Carmasec top = bars();
    top.AnyadeLineaYcte(0.3f, k16, 2, -0.1f, 0.1f, 0.25f, 1);
    EXPECT_FLOAT_EQ(top.GetY(1), 0.242f);
    top.AnyadeLineaYcte(0.3f, 0, 2, -0.1f, 0.1f, 0.0f, 0); // no diameter: nothing
    EXPECT_EQ(top.GetNumeroRedondos(), 2);
    EXPECT_THROW(top.AnyadeLineaYcte(0.3f, k16, 2, -0.1f, 0.1f, 0.0f, 2), ProgrammingError);

    a.AnyadeRedondo(0, 0, k20);
    EXPECT_EQ(a.GetLineaRedondos(), "");

    Carmasec none = bars();
    EXPECT_EQ(none.GetLineaRedondos(), "");
    none.AnyadeRedondo(0, 0, k16);
    EXPECT_EQ(none.GetLineaRedondos(), "1 fi 16");

    // On the numbered series the diameter is written in millimetres.
    Carmasec m = bars(fixtures::windowCatalogue("Mex"));
    m.AnyadeLineaYcte(0.3f, 4, 3, -0.1f, 0.1f, 0, 0);
    EXPECT_EQ(m.GetLineaRedondos(), "3 # 12.7");
}

TEST(Carmasec, PlaneChecks) {
    Carmasec bent = bars();
    bent.AnyadeRedondo(0, 0, k16);
    bent.AnyadeRedondo(0, 0.1f, k16);
    bent.AnyadeRedondo(0.1f, 0.1f, k16);
    EXPECT_FALSE(bent.GetSonTodosMismoPlano(0.001f));
    EXPECT_EQ(bent.GetLineaRedondos(), "");

    Carmasec column = bars(); // a line parallel to y
    for (float y : {0.0f, 0.1f, 0.2f})
        column.AnyadeRedondo(y, 0.05f, k16);
    EXPECT_TRUE(column.GetSonTodosMismoPlano(0.001f));
    EXPECT_EQ(column.GetLineaRedondos(), "3 fi 16");

    Carmasec one = bars();
    one.AnyadeRedondo(0, 0, k16);
    EXPECT_THROW(one.GetSonTodosMismoPlano(0.001f), ProgrammingError);
}

TEST(Carmasec, DrawsEveryBarAsACircleOfItsRadius) {
    Carmasec a = bars();
    a.AnyadeRedondo(0.1f, 0.2f, k16);
    a.AnyadeRedondo(-0.1f, 0.3f, k20);
    Canvas canvas(200, 200);
    CCuadroDibujo plot;
    plot.IniciaAPelo(canvas);
    a.Dibuja(plot);
    std::vector<std::pair<float, float>> centres;
    for (const auto& c : canvas.circles())
        if (std::fabs(c.r - 0.008f) < 1e-6 || std::fabs(c.r - 0.010f) < 1e-6)
            centres.emplace_back(c.x, c.y);
    EXPECT_EQ(centres, (std::vector<std::pair<float, float>>{{0.2f, 0.1f}, {0.3f, -0.1f}}));
}

TEST(Carmasec, OverlapIndexAgreesWithCheckingEveryBar) {
    // Random bars of mixed diameters in a small section: whatever the index accepts, no two
    // accepted bars overlap, and every refused bar overlaps one accepted before it.
    RecordingSink rec;
    std::mt19937 rng(107);
    std::uniform_real_distribution<float> pos(-0.2f, 0.2f);
    std::uniform_int_distribution<int> diam(1, 7);
    auto cat = fixtures::windowCatalogue("Euro");
    Carmasec a = bars(cat);
    std::vector<std::tuple<float, float, int>> kept;
    auto overlap = [&](const auto& p, const auto& q) {
        const auto [y1, z1, d1] = p;
        const auto [y2, z2, d2] = q;
        return std::hypot(double{y1} - y2, double{z1} - z2) <
               (double{cat->GetDiametroMetros(d1)} + cat->GetDiametroMetros(d2)) / 2;
    };
    for (int n = 0; n < 3000; ++n) {
        const float y = pos(rng), z = pos(rng);
        const std::tuple<float, float, int> t{y, z, diam(rng)};
        bool expectFit = true;
        for (const auto& k : kept)
            expectFit = expectFit && !overlap(k, t);
        const int before = a.GetNumeroRedondos();
        a.AnyadeRedondo(std::get<0>(t), std::get<1>(t), std::get<2>(t));
        ASSERT_EQ(a.GetNumeroRedondos() == before + 1, expectFit)
            << "bar at " << std::get<0>(t) << ", " << std::get<1>(t);
        if (expectFit)
            kept.push_back(t);
    }
    EXPECT_GT(kept.size(), 100u);
}

TEST(Carmasec, DrawsBarsAsHexagonalPrismsThroughThePieceContract) {
    Carmasec a = bars();
    a.AnyadeRedondo(0.1f, 0.2f, k16);
    a.AnyadeRedondo(-0.1f, -0.2f, k20);
    Canvas canvas(400, 400);
    CCuadroDibujo plot;
    plot.IniciaAPelo(canvas);
    plot.MargenSinPic(0.5f, -0.5f, 0.5f, -0.5f);
    std::int16_t color = 7;
    EXPECT_FALSE(a.DibujaSeccion(plot, 2, 0, 0, color));
    EXPECT_EQ(color, 7);
    // In the section plane every drawn point is a hexagon vertex: at the bar's diameter from its
    // centre (drawn with z across and y up).
    const std::pair<float, float> centres[] = {{0.2f, 0.1f}, {-0.2f, -0.1f}};
    const float radii[] = {0.016f, 0.020f};
    int onBar[2] = {0, 0};
    for (const auto& s : canvas.segments())
        for (auto [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            bool found = false;
            for (int b = 0; b < 2; ++b)
                if (std::fabs(std::hypot(x - centres[b].first, y - centres[b].second) - radii[b]) <
                    1e-6) {
                    ++onBar[b];
                    found = true;
                }
            EXPECT_TRUE(found) << x << ", " << y;
        }
    EXPECT_GE(onBar[0], 12); // six sides, two ends each
    EXPECT_GE(onBar[1], 12);
}
