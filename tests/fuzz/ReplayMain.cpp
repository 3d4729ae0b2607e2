// Runs a fuzz target once on each file it is given (directories: every file
// in them, in name order), the way libFuzzer replays a corpus. The targets
// are built with this main when libFuzzer is not used, so every build and
// every test run checks that no input of the corpus (seeds and the crashers
// found so far) fails again.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (!argument.empty() && argument[0] == '-') continue;  // libFuzzer flags mean nothing here
    std::error_code error;
    if (fs::is_directory(argument, error)) {
      std::vector<fs::path> inside;
      for (const auto& entry : fs::directory_iterator(argument))
        if (entry.is_regular_file()) inside.push_back(entry.path());
      std::sort(inside.begin(), inside.end());
      files.insert(files.end(), inside.begin(), inside.end());
    } else if (fs::is_regular_file(argument, error)) {
      files.emplace_back(argument);
    } else {
      std::fprintf(stderr, "replay: no such file or folder: %s\n", argument.c_str());
      return 2;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::fprintf(stderr, "replay: %s (%zu bytes)\n", file.string().c_str(), bytes.size());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "replay: %zu inputs, no failure\n", files.size());
  return 0;
}
