#pragma once

#include <string>

namespace veradex::test {

// A fresh directory under the system temp folder, removed with everything in
// it when the object goes away. Path() ends without a separator.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path(), the system's separator, name.
  std::string File(const std::string& name) const;
  // Writes bytes to Path()/name (creating sub-folders) and returns the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace veradex::test
