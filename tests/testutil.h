#pragma once
// A fresh, empty directory per test, removed afterwards.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace vrx::test {

class TempDir {
public:
    TempDir() {
        namespace fs = std::filesystem;
        const char* base = std::getenv("VRX_TEST_TMP");
        fs::path root = base ? fs::path(base) : fs::temp_directory_path();
        fs::create_directories(root);
        std::string tmpl = (root / "vrxXXXXXX").string();
        path_ = ::mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs the test body with the working directory changed, and changes it back.
class ChangeDir {
public:
    explicit ChangeDir(const std::string& dir) : old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~ChangeDir() { std::filesystem::current_path(old_); }

private:
    std::filesystem::path old_;
};

}  // namespace vrx::test
