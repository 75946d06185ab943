#include "platform/BoundedArray.h"
#include "platform/MemoryGrid.h"
#include "platform/Messages.h"
#include "platform/Numbers.h"
#include "platform/OrderedMap.h"
#include "platform/Value.h"

#include <gtest/gtest.h>

using namespace tresol;

TEST(BoundedArray, BoundsAndCheckedAccess) {
    Array1<int> a(0, 3);
    EXPECT_EQ(a.lower(), 0);
    EXPECT_EQ(a.upper(), 3);
    a(3) = 7;
    EXPECT_THROW(a(4), ProgrammingError);
    EXPECT_THROW(a(-1), ProgrammingError);

    Array1<int> none;
    EXPECT_FALSE(none.allocated());
    EXPECT_THROW(none.upper(), ProgrammingError);
    EXPECT_THROW(none(1), ProgrammingError);

    PointArray p = makePointArray(3);
    EXPECT_EQ(p.upper(1), 3);
    EXPECT_EQ(p.upper(2), 2);
    EXPECT_THROW(p.upper(3), ProgrammingError);
    EXPECT_THROW(p(1, 3), ProgrammingError);
    EXPECT_THROW(p(0, 1), ProgrammingError);
    EXPECT_THROW(Array1<int>(5, 3), ProgrammingError);
    EXPECT_THROW(Array2<char>(1, 100000, 1, 100000), ProgrammingError);
}

TEST(BoundedArray, PreservingResizeKeepsWhatStaysInside) {
    PointArray p = makePointArray(2);
    p(1, 1) = 1;
    p(1, 2) = 2;
    p(2, 1) = 3;
    p(2, 2) = 4;
    p.redimPreserve(1, 5, 1, 2);
    EXPECT_EQ(p(2, 2), 4);
    EXPECT_EQ(p(5, 1), 0);

    // Changing the columns moves elements: each keeps its indices.
    p.redimPreserve(1, 2, 1, 3);
    EXPECT_EQ(p(1, 2), 2);
    EXPECT_EQ(p(2, 1), 3);
    EXPECT_EQ(p(2, 3), 0);

    Array1<int> a(1, 3);
    a(1) = 10;
    a(3) = 30;
    a.redimPreserve(0, 2);
    EXPECT_EQ(a(1), 10);
    EXPECT_EQ(a(0), 0);
    a.redim(1, 1);
    EXPECT_EQ(a(1), 0);
}

TEST(OrderedMap, KeepsInsertionOrderAndRefusesDuplicates) {
    OrderedMap<int> m;
    m.add("b", 2);
    m.add("a", 1);
    m.add("c", 3);
    EXPECT_EQ(m.count(), 3);
    EXPECT_EQ(m.keyAt(1), "b");
    EXPECT_EQ(m.at(2), 1);
    EXPECT_EQ(m.get("c"), 3);
    EXPECT_THROW(m.add("a", 9), ProgrammingError);
    EXPECT_THROW(m.get("z"), ProgrammingError);
    EXPECT_THROW(m.at(4), ProgrammingError);
    m.remove("b");
    EXPECT_EQ(m.keyAt(1), "a");
    EXPECT_EQ(m.get("c"), 3);
    std::string order;
    for (const auto& [k, v] : m)
        order += k;
    EXPECT_EQ(order, "ac");
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

TEST(Messages, RecordingSinkCapturesAndRestores) {
    using namespace tresol::platform;
    {
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
