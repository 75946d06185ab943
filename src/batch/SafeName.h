#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace tresol::batch {

// A file name stem from a member's id that cannot leave its folder or hide: letters, digits,
// '-', '_' and UTF-8 letters kept, single dots kept after the first character, everything else
// (separators, '..', blanks, control characters) an underscore; at most 120 bytes. An empty id
// becomes 'fila-<row>'.
std::string safeStem(std::string_view id, std::int64_t row);

// Hands out stems that differ from every one handed out before (regardless of case, for file
// systems that ignore it): a repeated id gets '-2', '-3', …
class SafeNames {
  public:
    std::string take(std::string_view id, std::int64_t row);

  private:
    std::unordered_set<std::string> used_;
};

} // namespace tresol::batch
