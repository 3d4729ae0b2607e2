#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "net/MultipartBody.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

namespace veradex {
namespace {

const std::string kHeader =
    "-----------------------------7d32231303e8\r\n"
    "Content-Disposition: form-data; name=\"attach\"; filename=\"SPM_0303_07_1A3.eml\"\r\n"
    "Content-Type: application/octet-stream\r\n\r\n";

std::string BlockOf(const MultipartPart& part) { return std::string(part.Block(), part.BlockLength()); }

TEST(MultipartPart, BlockIsHeaderFileBytesAndLineEnd) {
  test::TempDir temp;
  test::RecordingMessageSink sink;
  const std::string content("From: a\r\n\r\nbody\0\xff", 17);
  const std::string path = temp.Write("mail.eml", content);

  MultipartPart part;
  EXPECT_EQ(part.LoadFile("attach", path, "SPM_0303_07_1A3.eml", sink), static_cast<int>(kHeader.size() + 17 + 2));
  EXPECT_EQ(BlockOf(part), kHeader + content + "\r\n");
  EXPECT_EQ(part.WireFileName(), "SPM_0303_07_1A3.eml");
  EXPECT_EQ(part.LocalPath(), path);
  EXPECT_EQ(sink.Count(), 0u);

  MultipartPart empty;
  EXPECT_EQ(empty.LoadFile("attach", temp.Write("empty.eml", ""), "SPM_0303_07_1A3.eml", sink),
            static_cast<int>(kHeader.size() + 2));
  EXPECT_EQ(BlockOf(empty), kHeader + "\r\n");

  MultipartPart quoted;
  quoted.LoadFile("at\"tach", path, "x.eml", sink);
  EXPECT_NE(BlockOf(quoted).find("name=\"at\"tach\"; filename=\"x.eml\"\r\n"), std::string::npos);
}

TEST(MultipartPart, UnopenableFileSaysSoAndKeepsNoBlock) {
  test::TempDir temp;
  test::RecordingMessageSink sink;
  MultipartPart part;
  const std::string missing = temp.File("gone.eml");
  EXPECT_EQ(part.LoadFile("attach", missing, "x.eml", sink), -1);
  EXPECT_EQ(part.Block(), nullptr);
  EXPECT_EQ(part.BlockLength(), 0);
  // 파일 열기 실패: <path>
  ASSERT_EQ(sink.Count(), 1u);
  EXPECT_EQ(sink.Messages()[0].text, "\xc6\xc4\xc0\xcf\x20\xbf\xad\xb1\xe2\x20\xbd\xc7\xc6\xd0\x3a\x20" + missing);
  EXPECT_EQ(sink.Messages()[0].style, 16u);

  sink.Clear();
  EXPECT_EQ(part.LoadFile("attach", temp.Path(), "x.eml", sink), -1);  // a folder
  EXPECT_EQ(sink.Count(), 1u);
}

TEST(MultipartPart, UnopenableKoreanFileNameReadsInTheMessage) {
  // The path is the file system's (UTF-8); the message is code page 949.
  test::TempDir temp;
  test::RecordingMessageSink sink;
  MultipartPart part;
  const std::string missing = temp.File("\xec\x8a\xa4\xed\x8c\xb8.eml");  // 스팸.eml
  EXPECT_EQ(part.LoadFile("attach", missing, "x.eml", sink), -1);
  ASSERT_EQ(sink.Count(), 1u);
  const std::string shown = sink.Messages()[0].text;
  EXPECT_EQ(shown.substr(shown.size() - 8), "\xbd\xba\xc6\xd4.eml") << shown;  // 스팸.eml in code page 949
  EXPECT_EQ(shown.find("\xec\x8a\xa4"), std::string::npos);
}

TEST(MultipartPart, FileTooLargeForABlockGoesOutAsHeaderOnly) {
  test::TempDir temp;
  test::RecordingMessageSink sink;
  const std::string path = temp.File("huge.eml");
  { std::ofstream(path).put('x'); }
  std::error_code error;
  std::filesystem::resize_file(path, 3ull << 30, error);  // sparse, 3 GiB: beyond a 32-bit length
  if (error) GTEST_SKIP() << "no sparse files here";

  MultipartPart part;
  const std::string header =
      "-----------------------------7d32231303e8\r\nContent-Disposition: form-data; name=\"attach\"; "
      "filename=\"x.eml\"\r\nContent-Type: application/octet-stream\r\n\r\n";
  EXPECT_EQ(part.LoadFile("attach", path, "x.eml", sink), static_cast<int>(header.size() + 2));
  EXPECT_EQ(BlockOf(part), header + "\r\n");
  ASSERT_EQ(sink.Texts(), std::vector<std::string>{"\xb8\xde\xb8\xf0\xb8\xae\xb0\xa1\x20\xba\xce\xc1\xb7\xc7\xd5"
                                                   "\xb4\xcf\xb4\xd9"});  // 메모리가 부족합니다
}

TEST(MultipartBody, HoldsOnePartAndCountsTheClosingLine) {
  MultipartBody body;
  EXPECT_EQ(body.ContentLength(), 45);
  MultipartPart* part = body.AddPart(-1);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(body.PartCount(), 1);
  EXPECT_EQ(body.AddPart(-1), nullptr);
  EXPECT_EQ(body.AddPart(0), part);
  EXPECT_EQ(body.AddPart(1), nullptr);

  test::TempDir temp;
  test::RecordingMessageSink sink;
  const int length = part->LoadFile("attach", temp.Write("m.eml", std::string(1000, 'm')), "SPM_0303_07_1A3.eml", sink);
  EXPECT_EQ(body.ContentLength(), length + 45);
  EXPECT_EQ(body.ContentLength(), static_cast<long long>(kHeader.size()) + 1000 + 2 + 45);
}

}  // namespace
}  // namespace veradex
