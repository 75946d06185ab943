#pragma once

#include <string>

namespace tresol::platform {

// The shortest text that reads back as the same double, with a point ('12.5', '0.1', '1e+20'):
// schedules keep the front door's values exactly, whatever the user's locale.
void appendShortest(std::string& out, double value);
std::string shortestText(double value);

} // namespace tresol::platform
