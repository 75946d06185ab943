#include "design/DetailDrawing.h"
#include "reinforcement/Cdiametro.h"

#include <gtest/gtest.h>

#include <thread>

namespace tresol::design {

namespace {

Member column(double areaCm2, double widthCm, double multiple, double linkMm = 0) {
    Member m;
    m.kind = MemberKind::Column;
    m.areaCm2 = areaCm2;
    m.coverCm = 3;
    m.widthCm = widthCm;
    m.heightCm = widthCm;
    m.multiple = multiple;
    m.linkMm = linkMm;
    return m;
}

// What a run shows of its rows and of the sections it placed them on.
struct Seen {
    std::vector<std::string> lines;
    std::vector<std::int32_t> placed;
    std::vector<std::vector<double>> bars; // y, z and diameter of each bar, row after row

    friend bool operator==(const Seen&, const Seen&) = default;
};

Seen seen(const DesignResult& r) {
    Seen s;
    for (const Candidate& c : r.candidates()) {
        s.lines.push_back(c.line);
        s.placed.push_back(c.placed);
        std::vector<double> bars;
        for (const BarCircle& b : detail::placedBars(r.place(c.row)))
            bars.insert(bars.end(), {b.y, b.z, b.diameter});
        s.bars.push_back(std::move(bars));
    }
    return s;
}

Seen onNewThread(const Member& m, std::shared_ptr<const Cdiametro> cat) {
    Seen s;
    std::thread([&] { s = seen(design(m, std::move(cat))); }).join();
    return s;
}

} // namespace

// A thread places a line on a section once: the same member again, or another of the same
// section, reads the same rows and sections as a thread that never placed them.
TEST(PlacementReuse, RepeatedSectionsGiveWhatAFreshRunGives) {
    for (const Member& m :
         {column(20, 40, 4), column(20, 40, 6), column(31, 40, 4), column(20, 40, 4, 8)}) {
        const Seen first = seen(design(m));
        ASSERT_FALSE(first.lines.empty());
        EXPECT_EQ(seen(design(m)), first);
        EXPECT_EQ(onNewThread(m, nullptr), first);
    }
}

// A catalogue set again (here with the optional 14 mm bar, which moves the later sizes up one
// place) is a new catalogue for what was kept: its bars carry their new sizes.
TEST(PlacementReuse, ACatalogueSetAgainIsNotTakenForWhatItWas) {
    auto cat = std::make_shared<Cdiametro>();
    cat->Ini("Euro", "m", false, false);
    const std::uint64_t before = cat->stamp();
    const Member m = column(20, 40, 4);
    (void)design(m, cat);
    cat->Ini("Euro", "m", true, false);
    EXPECT_NE(cat->stamp(), before);
    EXPECT_EQ(Cdiametro(*cat).stamp(), cat->stamp()); // a copy is the same table
    EXPECT_EQ(seen(design(m, cat)), onNewThread(m, cat));
}

} // namespace tresol::design
