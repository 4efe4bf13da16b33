// PNG decoding against the PNG test suite: every valid image must give its
// reference pixels, every corrupt one must be refused, and no truncation may crash.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <zlib.h>

#include "o2d_image_loader.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSuite = fs::path(OSTRAK_SOURCE_DIR) / "tests/data/pngsuite";

std::vector<fs::path> SuiteImages(bool corrupt) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(kSuite / "png"))
    if (e.path().extension() == ".png" && (e.path().filename().string()[0] == 'x') == corrupt) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// A suite image with a different size in its header (and a matching header CRC).
std::string Resized(const std::string& png, uint32_t width, uint32_t height) {
  std::string out = png;
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put32(16, width), put32(20, height);
  put32(29, crc32(0, reinterpret_cast<const Bytef*>(out.data() + 12), 17));
  return out;
}

// A chunk: length, type, data and CRC.
std::string Chunk(const char* type, const std::string& data, uint32_t length) {
  std::string out;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (24 - 8 * i));
  };
  put32(length);
  out += std::string(type, 4) + data;
  put32(crc32(0, reinterpret_cast<const Bytef*>(out.data() + 4), static_cast<uInt>(out.size() - 4)));
  return out;
}

}  // namespace

// Every prefix up to the final chunk is refused; the copy keeps reads past its end visible to ASan.
TEST(PngSuite, EveryValidImageDecodesToItsReferenceAndNoPrefixOfItDecodes) {
  const auto files = SuiteImages(false);
  ASSERT_GE(files.size(), 150u) << "test images missing in " << kSuite;
  for (const auto& file : files) {
    const std::string stem = file.stem().string();
    SCOPED_TRACE(stem);
    const std::string bytes = ReadFileBytes(file);
    O2DImage img;
    std::string error;
    ASSERT_TRUE(O2D_DecodeImage(bytes.data(), bytes.size(), img, &error)) << error;
    // 16-bit images keep their high byte, and their 8-bit reference may be rounded: allow one step.
    const bool deep = stem.ends_with("16");
    const std::string ref = ReadFileBytes(kSuite / "rgba" / (stem + ".rgba"));
    ASSERT_EQ(img.rgba.size(), ref.size());
    ASSERT_EQ(ref.size(), static_cast<size_t>(img.width) * img.height * 4);
    size_t bad = 0;
    for (size_t i = 0; i < ref.size(); ++i)
      if (std::abs(img.rgba[i] - static_cast<uint8_t>(ref[i])) > (deep ? 1 : 0) && bad++ < 3)
        ADD_FAILURE() << "byte " << i << ": " << int(img.rgba[i]) << " != " << int(static_cast<uint8_t>(ref[i]));
    EXPECT_EQ(bad, 0u);
    for (size_t len = 0; len + 12 < bytes.size(); ++len) {
      std::vector<char> cut(bytes.begin(), bytes.begin() + len);
      EXPECT_FALSE(O2D_DecodeImage(cut.data(), cut.size(), img)) << "length " << len;
    }
  }
}

TEST(PngSuite, CorruptImagesAreRefused) {
  const auto files = SuiteImages(true);
  ASSERT_GE(files.size(), 10u);
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = ReadFileBytes(file);
    O2DImage img;
    std::string error;
    EXPECT_FALSE(O2D_DecodeImage(bytes.data(), bytes.size(), img, &error));
    EXPECT_TRUE(!error.empty() && img.rgba.empty());
  }
}

TEST(PngSuite, AbsurdSizesAndChunksAreRefusedBeforeDecoding) {
  const std::string png = ReadFileBytes(kSuite / "png" / "basn0g08.png");
  O2DImage img;
  std::string error;
  const std::string same = Resized(png, 32, 32);
  ASSERT_TRUE(O2D_DecodeImage(same.data(), same.size(), img, &error)) << error;  // the CRC is right
  for (auto [w, h] : {std::pair{16385u, 1u}, {1u, 16385u}, {16384u, 16384u}, {8000u, 8000u}}) {
    const std::string big = Resized(png, w, h);
    EXPECT_FALSE(O2D_DecodeImage(big.data(), big.size(), img, &error)) << w << "x" << h;
    EXPECT_FALSE(error.empty());
  }
  // 8000 x 8000 is within the limits, but a file of a thousand bytes cannot hold it.
  EXPECT_NE(error.find("too short"), std::string::npos) << error;

  const std::string head = std::string("\x89PNG\r\n\x1A\n", 8) +
                           Chunk("IHDR", std::string("\0\0\0\1\0\0\0\1\x08\0\0\0\0", 13), 13);
  // A text chunk or an image data chunk that claims 2 GB, in a file of 41 bytes: refused
  // before anything is allocated for it (the CRC of the header alone is never checked).
  for (const char* type : {"tEXt", "IDAT", "zzZz"}) {
    SCOPED_TRACE(type);
    const std::string bytes = head + Chunk(type, "", 0x7FFFFFF0u).substr(0, 8);
    ASSERT_EQ(bytes.size(), 41u);
    EXPECT_FALSE(O2D_DecodeImage(bytes.data(), bytes.size(), img, &error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
}
