#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace tresol::testing {

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
    std::string path_ = (std::filesystem::temp_directory_path() / "tresol-sheets-XXXXXX").string();
    std::error_code ec_;

  public:
    TempDir() {
        if (!::mkdtemp(path_.data()))
            throw std::runtime_error("cannot create " + path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_, ec_); }

    // The path of `name` in the directory, written first with `content` when one is given.
    std::string file(const std::string& name, const std::optional<std::string>& content = {}) {
        if (content)
            std::ofstream(path_ + "/" + name, std::ios::binary) << *content;
        return path_ + "/" + name;
    }
};

} // namespace tresol::testing
