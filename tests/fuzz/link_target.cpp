// A dropped desktop link file with any content: what it leads to is a local
// absolute path or nothing.
#include <fstream>

#include "FuzzSupport.h"
#include "platform/LinkTarget.h"

using namespace veradex;
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string path = fuzz::ScratchFolder() + "/dropped.desktop";
  {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::string target = LinkTarget::Resolve(path);
  fuzz::Require(target.empty() || target[0] == '/', "a link leads to an absolute local path");
  return 0;
}
