#include "app/QtLabelSet.h"

#include "platform/ProgrammingError.h"
#include "sections/CSeccG.h"

#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

using namespace tresol;

TEST(QtLabelSet, SectionWritesIntoAControlArray) {
    QWidget window;
    auto* frame = new QWidget(&window);
    QLabel* labels[7];
    for (int i = 0; i < 7; ++i) {
        labels[i] = new QLabel("-", i < 4 ? &window : frame); // nested children count too
        labels[i]->setObjectName("Label9");
        labels[i]->setProperty("index", i);
    }
    (new QLabel("x", &window))->setObjectName("Label9"); // no index: not in the array
    app::QtLabelSet set(window, "Label9");

    CSeccG s;
    ASSERT_TRUE(s.IniRectangulo(2, 4));
    std::int32_t indi = 1;
    s.LetPropiedadesDeContorno(set, indi);
    EXPECT_EQ(indi, 6);
    EXPECT_EQ(labels[0]->text(), "-");
    EXPECT_EQ(labels[1]->text(), "area = 8");
    EXPECT_EQ(labels[3]->text(), "CantoZ = 4");
    EXPECT_EQ(labels[5]->text(), "Iyy = 11");
    EXPECT_EQ(labels[6]->text(), "-");
    EXPECT_EQ(set.Caption(4), "Izz = 3");

    indi = 3; // labels 3…7: there is no 7
    EXPECT_THROW(s.LetPropiedadesDeContorno(set, indi), ProgrammingError);
    delete labels[2];
    EXPECT_THROW(set.Caption(2, "gone"), ProgrammingError);
    EXPECT_THROW(set.add(1, labels[1]), ProgrammingError);
}
