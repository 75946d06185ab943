#include "app/QtLabelSet.h"

#include "platform/ProgrammingError.h"
#include "sections/CSeccG.h"

#include <QLabel> // and QWidget
#include <gtest/gtest.h>

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
    const char* want[] = {"-", "area = 8", "CantoY = 2", "CantoZ = 4", "Izz = 3", "Iyy = 11", "-"};
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(labels[i]->text() == want[i] && set.Caption(i) == want[i]) << i;

    indi = 3; // labels 3…7: there is no 7
    EXPECT_THROW(s.LetPropiedadesDeContorno(set, indi), ProgrammingError);
    delete labels[2];
    EXPECT_THROW(set.Caption(2, "gone"), ProgrammingError);
    EXPECT_THROW(set.add(1, labels[1]), ProgrammingError);
}
