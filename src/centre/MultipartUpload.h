#pragma once

#include <string>

namespace veradex::centre {

// The first file of a multipart/form-data body: the part whose
// Content-Disposition names a filename.
class MultipartUpload {
 public:
  // contentType: the request's Content-Type value (with its boundary).
  // False when the body has no complete file part.
  static bool Parse(const std::string& contentType, const std::string& body, MultipartUpload* upload);

  const std::string& FieldName() const { return fieldName_; }
  const std::string& FileName() const { return fileName_; }
  const std::string& Content() const { return content_; }

 private:
  std::string fieldName_;
  std::string fileName_;
  std::string content_;
};

}  // namespace veradex::centre
