#pragma once

#include "pieces/Cmateria.h"
#include "platform/Messages.h"
#include "platform/ProgrammingError.h"
#include "reinforcement/Cdiametro.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace tresol::testing {

using platform::RecordingSink;
using Texts = std::vector<std::string>;

inline std::shared_ptr<const Cdiametro> euro() {
    auto c = std::make_shared<Cdiametro>();
    c->Ini("Euro", "m");
    return c;
}

inline std::shared_ptr<const Cmateria> material(std::int32_t tipo) {
    auto m = std::make_shared<Cmateria>();
    m->IniSegunTipo(tipo);
    return m;
}

// Values against those expected, one by one within `tol`.
inline void expectNear(const std::vector<double>& got, const std::vector<double>& want, double tol,
                       const std::string& id) {
    ASSERT_EQ(got.size(), want.size()) << id;
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tol) << id << ", value " << i;
}

} // namespace tresol::testing
