#include "platform/BoundedArray.h"
#include "platform/MemoryGrid.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/OrderedMap.h"
#include "platform/Value.h"

#include <gtest/gtest.h>

using namespace tresol;

TEST(BoundedArray, BoundsCheckedAccessAndPreservingResize) {
    Array1<int> a(0, 3);
    EXPECT_EQ(std::pair(a.lower(), a.upper()), std::pair(0, 3));
    EXPECT_THROW(a(4), ProgrammingError);
    EXPECT_THROW(a(-1), ProgrammingError);
    EXPECT_THROW(Array1<int>().upper(), ProgrammingError) << "not allocated";
    EXPECT_THROW(Array1<int>()(1), ProgrammingError) << "not allocated";
    EXPECT_THROW(Array1<int>(5, 3), ProgrammingError);
    EXPECT_THROW(Array2<char>(1, 100000, 1, 100000), ProgrammingError);

    PointArray p = makePointArray(2);
    EXPECT_EQ(std::pair(p.upper(1), p.upper(2)), std::pair(2, 2));
    EXPECT_THROW(p.upper(3), ProgrammingError);
    EXPECT_THROW(p(1, 3), ProgrammingError);
    EXPECT_THROW(p(0, 1), ProgrammingError);
    p(1, 1) = 1, p(1, 2) = 2, p(2, 1) = 3, p(2, 2) = 4;
    p.redimPreserve(1, 5, 1, 2);
    EXPECT_EQ(std::pair(p(2, 2), p(5, 1)), std::pair(4.f, 0.f));
    p.redimPreserve(1, 2, 1, 3); // each element keeps its indices when the columns change
    EXPECT_EQ(std::tuple(p(1, 2), p(2, 1), p(2, 3)), std::tuple(2.f, 3.f, 0.f));
    a(1) = 10;
    a.redimPreserve(-1, 2);
    EXPECT_EQ(std::pair(a(1), a(-1)), std::pair(10, 0));
    a.redim(1, 1);
    EXPECT_EQ(a(1), 0);
}

TEST(OrderedMap, KeepsInsertionOrderAndRefusesDuplicates) {
    OrderedMap<int> m;
    m.add("b", 2);
    m.add("a", 1);
    m.add("c", 3);
    EXPECT_EQ(std::tuple(m.count(), m.keyAt(1), m.at(2), m.get("c")), std::tuple(3, "b", 1, 3));
    EXPECT_THROW(m.add("a", 9), ProgrammingError);
    EXPECT_THROW(m.get("z"), ProgrammingError);
    EXPECT_THROW(m.at(4), ProgrammingError);
    m.remove("b");
    std::string order;
    for (const auto& [k, v] : m)
        order += k + std::to_string(v);
    EXPECT_EQ(order, "a1c3");
}

TEST(ValueType, TextFormAndNumericReading) {
    platform::ScopedNumberLocale point('.');
    EXPECT_EQ(valueText(Value{}), "");
    EXPECT_EQ(valueText(Value{true}), "True");
    EXPECT_EQ(valueText(Value{std::int32_t{12}}), "12");
    EXPECT_EQ(valueText(Value{0.1f}), "0.1");
    EXPECT_EQ(valueText(Value{std::string("12.5 cm")}), "12.5 cm");
    EXPECT_DOUBLE_EQ(valueNumber(Value{true}), -1.0);
    EXPECT_DOUBLE_EQ(valueNumber(Value{std::string("12.5 cm")}), 12.5);
    EXPECT_DOUBLE_EQ(valueNumber(Value{}), 0.0);
}

// A sink installed inside another hears only what is raised while it lives.
TEST(Messages, RecordingSinkCapturesAndRestores) {
    using namespace tresol::platform;
    RecordingSink outer;
    {
        RecordingSink inner;
        showError("uno");
        EXPECT_EQ(inner.texts(), std::vector<std::string>{"uno"});
    }
    messages().show("dos", MsgIcon::Information);
    ASSERT_EQ(outer.entries().size(), 1u);
    EXPECT_EQ(outer.entries()[0].text, "dos");
    EXPECT_EQ(outer.entries()[0].icon, MsgIcon::Information);
}

TEST(MemoryGrid, CurrentCellAndResizing) {
    platform::MemoryGrid g;
    EXPECT_EQ(g.Rows(), 2);
    g.Cols(5);
    g.Rows(4);
    g.Row(3);
    g.col(4);
    g.Text("x");
    EXPECT_EQ(g.TextMatrix(3, 4), "x");
    g.Rows(1);
    EXPECT_EQ(g.Row(), 0);
    EXPECT_THROW(g.Row(1), ProgrammingError);
    EXPECT_THROW(g.Rows(0), ProgrammingError);
    EXPECT_THROW(g.ColWidth(5, 100), ProgrammingError);
}
