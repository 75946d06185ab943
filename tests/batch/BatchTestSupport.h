#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tresol::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class BatchDir {
    std::string path_ = (std::filesystem::temp_directory_path() / "tresol-batch-XXXXXX").string();

  public:
    BatchDir() {
        if (!::mkdtemp(path_.data()))
            throw std::runtime_error("cannot create " + path_);
    }
    ~BatchDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

    // The path of `name` in the directory, written first with `content` when one is given.
    std::string file(const std::string& name,
                     const std::optional<std::string>& content = {}) const {
        if (content)
            std::ofstream(path_ + "/" + name, std::ios::binary) << *content;
        return path_ + "/" + name;
    }

    // Every name in the directory (hidden ones too).
    std::set<std::string> names(const std::string& sub = "") const {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_ + "/" + sub))
            out.insert(e.path().filename().string());
        return out;
    }
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace tresol::testing
