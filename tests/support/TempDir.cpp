#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "platform/NativePath.h"

namespace veradex::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device device;
  std::mt19937_64 generator(device());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / ("veradex-test-" + std::to_string(generator() % 100000000));
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      path_ = NativePath::FromFs(candidate);
      return;
    }
  }
  throw std::runtime_error("TempDir: cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(NativePath::ToFs(path_), error);
}

std::string TempDir::File(const std::string& name) const { return path_ + NativePath::kSeparator + name; }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const fs::path path = NativePath::ToFs(path_) / NativePath::ToFs(name);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return NativePath::FromFs(path);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(NativePath::ToFs(path), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace veradex::test
