#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

namespace tresol::testing {

// A fresh directory under the system's temporary directory, removed with everything in it; when
// the environment variable `keep` names a directory, that one instead, kept.
class TempDir {
  public:
    explicit TempDir(const char* keep = nullptr) : kept_(keep ? std::getenv(keep) : nullptr) {
        std::string t = (std::filesystem::temp_directory_path() / "tresol-XXXXXX").string();
        path_ = kept_ ? kept_ : ::mkdtemp(t.data()) ? t : throw std::runtime_error("no " + t);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        if (kept_)
            return;
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

    // Every name in the directory or one of its folders (hidden ones too).
    std::set<std::string> names(const std::string& sub = "") const {
        std::set<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(path_ + "/" + sub))
            out.insert(e.path().filename().string());
        return out;
    }

  private:
    const char* kept_;
    std::string path_;
};

} // namespace tresol::testing
