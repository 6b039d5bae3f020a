// Checks the committed pictures against the definition tables that name them (format, natural
// size, colours) and against the manifests the build embeds them from: a wrong bounding box, band
// layout or table-to-file mapping shows up as a misplaced or striped background only at run time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fakes/log.h"
#include "image_store/subset_def.h"
#include "main_window/mainform_def.h"

namespace {

using talvo::def::PictureDef;
using talvo::def::PictureFormat;

using Bytes = std::vector<uint8_t>;

Bytes ReadAsset(const std::string& relative) {
  std::ifstream in(std::string(TALVO_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned U16(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t U32(const Bytes& b, size_t at) { return U16(b, at) | uint32_t{U16(b, at + 2)} << 16; }
int S16(const Bytes& b, size_t at) { return static_cast<int16_t>(U16(b, at)); }

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct Band {
  int from, to;
  Rgb colour;
};

struct Metafile {
  int width = 0, height = 0, window_w = -1, window_h = -1, ellipses = 0;
  std::vector<Band> h_bands, v_bands;
  std::vector<size_t> other_polygons;  // corner counts of everything that is not a band
  std::vector<Rgb> fills;              // brush colour behind every filled shape
};

// Plays the records against a model of the playback handle table so that slot misuse, which
// makes Wine and Windows silently drop shapes, fails here instead.
void ParseMetafile(const Bytes& d, Metafile* m) {
  ASSERT_GE(d.size(), 22u + 18u);
  ASSERT_EQ(U32(d, 0), 0x9AC6CDD7u);
  unsigned checksum = 0;
  for (size_t i = 0; i < 20; i += 2) checksum ^= U16(d, i);
  EXPECT_EQ(U16(d, 20), checksum);
  m->width = S16(d, 10);
  m->height = S16(d, 12);
  // Box origin, units per inch, then the memory-metafile header: type, size, version, length.
  const std::vector<size_t> header = {U16(d, 6),  U16(d, 8),  U16(d, 14),    U16(d, 22),
                                      U16(d, 24), U16(d, 26), U32(d, 28) * 2};
  EXPECT_EQ(header, (std::vector<size_t>{0, 0, 1000, 1, 9, 0x0300, d.size() - 22}));
  const unsigned slots = U16(d, 32);
  const uint32_t max_record = U32(d, 34);

  struct Object {
    bool pen;
    unsigned style;
    Rgb colour;
  };
  std::map<unsigned, Object> live;
  int pen = -1, brush = -1;
  size_t at = 22 + 18;
  for (;;) {
    ASSERT_LE(at + 6, d.size());
    const uint32_t words = U32(d, at);
    const unsigned fn = U16(d, at + 4);
    ASSERT_GE(words, 3u);
    ASSERT_LE(at + words * 2, d.size());
    EXPECT_LE(words, max_record);
    const size_t p = at + 6;
    if (fn == 0x0000) {
      EXPECT_EQ(at + words * 2, d.size()) << "data after EOF";
      break;
    }
    if (fn == 0x02FA || fn == 0x02FC) {  // create pen / brush into the lowest free slot
      unsigned slot = 0;
      while (live.count(slot)) ++slot;
      ASSERT_LT(slot, slots) << "handle table too small";
      const size_t c = p + (fn == 0x02FA ? 6 : 2);
      live[slot] = {fn == 0x02FA, U16(d, p), {d[c], d[c + 1], d[c + 2]}};
    } else if (fn == 0x012D) {
      const unsigned slot = U16(d, p);
      ASSERT_TRUE(live.count(slot)) << "select of empty slot " << slot;
      (live[slot].pen ? pen : brush) = static_cast<int>(slot);
    } else if (fn == 0x01F0) {
      const int slot = static_cast<int>(U16(d, p));
      ASSERT_TRUE(live.count(slot));
      EXPECT_TRUE(slot != pen && slot != brush) << "deleting a selected object";
      live.erase(slot);
    } else if (fn == 0x020B) {
      EXPECT_EQ(S16(d, p), 0);
      EXPECT_EQ(S16(d, p + 2), 0);
    } else if (fn == 0x020C) {
      m->window_h = S16(d, p);
      m->window_w = S16(d, p + 2);
    } else if (fn == 0x0324 || fn == 0x0418) {
      ASSERT_GE(brush, 0);
      const Object& b = live[brush];
      if (b.style == 0) m->fills.push_back(b.colour);
      if (fn == 0x0418) {
        ++m->ellipses;
      } else {
        const size_t n = U16(d, p);
        ASSERT_EQ(words, 4 + 2 * n);
        auto x = [&](size_t i) { return S16(d, p + 2 + 4 * i); };
        auto y = [&](size_t i) { return S16(d, p + 4 + 4 * i); };
        const bool rect = n == 4 && x(0) == x(3) && x(1) == x(2) && y(0) == y(1) && y(2) == y(3);
        const bool null_pen = pen >= 0 && live[pen].style == 5;
        if (rect && null_pen && b.style == 0 && x(0) == 0 && x(1) == m->width) {
          m->h_bands.push_back({y(0), y(2), b.colour});
        } else if (rect && null_pen && b.style == 0 && y(0) == 0 && y(2) == m->height) {
          m->v_bands.push_back({x(0), x(1), b.colour});
        } else {
          m->other_polygons.push_back(n);
        }
      }
    }
    at += words * 2;
  }
}

// A picture of a definition table and the folder whose assets hold it.
struct TablePicture {
  std::string folder;
  const PictureDef* picture;
};

std::vector<TablePicture> AllTablePictures() {
  std::vector<TablePicture> all = {{"main_window", &talvo::def::kAppIcon},
                                   {"main_window", &talvo::def::kExitPicture},
                                   {"main_window", &talvo::def::kPointerIcon}};
  for (const PictureDef& picture : talvo::def::kSubSetPictures)
    all.push_back({"image_store", &picture});
  return all;
}

const char* Extension(PictureFormat format) {
  switch (format) {
    case PictureFormat::Icon:
      return ".ico";
    case PictureFormat::Jpeg:
      return ".jpg";
    case PictureFormat::Metafile:
      return ".wmf";
  }
  return "";
}

std::string PathOf(const TablePicture& p) {
  return p.folder + "/assets/" + std::string(p.picture->asset) + Extension(p.picture->format);
}

// One line of a folder's manifest: file format width height bands orientation.
struct ManifestLine {
  std::string file, format;
  int width = 0, height = 0, bands = 0;
  std::string orientation;
};

std::vector<ManifestLine> ReadManifest(const std::string& folder) {
  std::ifstream in(std::string(TALVO_SOURCE_DIR) + "/" + folder + "/assets/manifest.txt");
  std::vector<ManifestLine> lines;
  ManifestLine l;
  while (in >> l.file >> l.format >> l.width >> l.height >> l.bands >> l.orientation) {
    lines.push_back(l);
  }
  return lines;
}

// The header of an icon file with one image: its size and bit depth.
void CheckIcon(const Bytes& d, const PictureDef& picture) {
  ASSERT_GE(d.size(), 22u + 40u);
  const size_t n = static_cast<size_t>(picture.natural_width);
  EXPECT_EQ(picture.natural_height, picture.natural_width);
  const size_t bpp = picture.colours == 16 ? 4 : picture.colours == 256 ? 8 : 0;
  ASSERT_NE(bpp, 0u) << "icons here have 16 or 256 colours";
  // Directory (reserved, type 1 = icon, count), its one entry (size, colour count, bit depth,
  // byte count, offset), then the DIB header, whose height covers colour and mask rows.
  const std::vector<size_t> got = {U16(d, 0),  U16(d, 2),  U16(d, 4),  d[6],       d[7],
                                   d[8],       U16(d, 12), U32(d, 14), U32(d, 18), U32(d, 22),
                                   U32(d, 26), U32(d, 30), U16(d, 36), U32(d, 38)};
  const size_t colours = bpp == 4 ? 16 : 0;
  const std::vector<size_t> want = {0,  1,  1, n,     n,   colours, bpp, d.size() - 22,
                                    22, 40, n, 2 * n, bpp, 0};
  EXPECT_EQ(got, want);
  const size_t xor_row = (n * bpp + 31) / 32 * 4, and_row = (n + 31) / 32 * 4;
  EXPECT_EQ(d.size(), 22 + 40 + (4u << bpp) + (xor_row + and_row) * n);
}

// A baseline frame with three 8-bit components at the picture's size.
void CheckJpeg(const Bytes& d, const PictureDef& picture) {
  auto be16 = [](const Bytes& b, size_t at) { return unsigned{b[at]} << 8 | b[at + 1]; };
  ASSERT_GE(d.size(), 4u);
  EXPECT_EQ(be16(d, 0), 0xFFD8u);
  EXPECT_EQ(be16(d, d.size() - 2), 0xFFD9u);
  size_t at = 2;
  for (;;) {  // walk marker segments up to the first frame header
    ASSERT_LE(at + 4, d.size());
    ASSERT_EQ(d[at], 0xFF);
    const unsigned marker = d[at + 1];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      EXPECT_EQ(marker, 0xC0u) << "not a baseline frame";
      ASSERT_LE(at + 10, d.size());
      EXPECT_EQ(d[at + 4], 8);
      EXPECT_EQ(be16(d, at + 5), static_cast<unsigned>(picture.natural_height));
      EXPECT_EQ(be16(d, at + 7), static_cast<unsigned>(picture.natural_width));
      EXPECT_EQ(d[at + 9], 3);
      return;
    }
    at += 2 + be16(d, at + 2);
  }
}

TEST(AssetFiles, EveryTablePictureIsAFileOfItsFormatAndNaturalSize) {
  const std::vector<TablePicture> all = AllTablePictures();
  EXPECT_EQ(all.size(), 44u);
  for (const TablePicture& p : all) {
    SCOPED_TRACE(PathOf(p));
    const Bytes data = ReadAsset(PathOf(p));
    ASSERT_FALSE(data.empty()) << "missing";
    switch (p.picture->format) {
      case PictureFormat::Icon:
        CheckIcon(data, *p.picture);
        break;
      case PictureFormat::Jpeg:
        CheckJpeg(data, *p.picture);
        break;
      case PictureFormat::Metafile: {
        Metafile m;
        ASSERT_NO_FATAL_FAILURE(ParseMetafile(data, &m));
        EXPECT_EQ((std::vector<int>{m.width, m.height, m.window_w, m.window_h}),
                  (std::vector<int>{p.picture->natural_width, p.picture->natural_height,
                                    p.picture->natural_width, p.picture->natural_height}));
        break;
      }
    }
  }
}

// The build embeds what the manifests list, so they must list exactly the tables' pictures.
TEST(AssetFiles, ManifestsListExactlyTheTablePicturesAtTheirSizes) {
  std::map<std::string, const ManifestLine*> listed;
  std::vector<ManifestLine> lines[2] = {ReadManifest("main_window"), ReadManifest("image_store")};
  for (const std::vector<ManifestLine>& folder : lines) {
    for (const ManifestLine& line : folder) EXPECT_TRUE(listed.emplace(line.file, &line).second);
  }
  const std::vector<TablePicture> all = AllTablePictures();
  EXPECT_EQ(listed.size(), all.size());
  for (const TablePicture& p : all) {
    const std::string file = std::string(p.picture->asset) + Extension(p.picture->format);
    SCOPED_TRACE(file);
    auto found = listed.find(file);
    ASSERT_NE(found, listed.end()) << "not embedded";
    EXPECT_EQ(found->second->width, p.picture->natural_width);
    EXPECT_EQ(found->second->height, p.picture->natural_height);
  }
}

// Element sBT3(2) holds sBT3_2, BtnPic(0) holds BtnPic0: a swapped row fails here even where the
// two pictures have the same size.
TEST(AssetFiles, EachImageStoreElementHoldsThePictureNamedAfterIt) {
  for (const talvo::def::ControlDef& element : talvo::def::kSubSetControls) {
    const std::string name = talvo::fakes::Utf8(element.name);
    std::string expected = name;
    if (element.index != talvo::kNoIndex) {
      if (std::isdigit(static_cast<unsigned char>(name.back()))) expected += "_";
      expected += std::to_string(element.index);
    }
    EXPECT_EQ(element.picture->asset, expected);
  }
}

TEST(AssetFiles, BandedMetafilesTileTheirBoxWithDistinctBands) {
  int banded = 0;
  for (const ManifestLine& line : ReadManifest("image_store")) {
    if (line.format != "wmf") continue;
    SCOPED_TRACE(line.file);
    ++banded;
    Metafile m;
    ASSERT_NO_FATAL_FAILURE(ParseMetafile(ReadAsset("image_store/assets/" + line.file), &m));
    const bool horizontal = line.orientation == "H";
    std::vector<Band> bands = horizontal ? m.h_bands : m.v_bands;
    EXPECT_TRUE((horizontal ? m.v_bands : m.h_bands).empty());
    EXPECT_EQ(bands.size(), static_cast<size_t>(line.bands));
    EXPECT_GE(bands.size(), 51u);
    EXPECT_LE(bands.size(), 54u);
    std::sort(bands.begin(), bands.end(),
              [](const Band& a, const Band& b) { return a.from < b.from; });
    int edge = 0;
    for (size_t i = 0; i < bands.size(); ++i) {
      EXPECT_EQ(bands[i].from, edge) << "gap or overlap at band " << i;
      EXPECT_GT(bands[i].to, bands[i].from);
      if (i > 0) {
        EXPECT_FALSE(bands[i].colour == bands[i - 1].colour) << "band " << i;
      }
      edge = bands[i].to;
    }
    EXPECT_EQ(edge, horizontal ? m.height : m.width);
    // Only the framed bars carry outlines and only the sBT5 bars carry four marks.
    const auto& extra = m.other_polygons;
    if (line.file.rfind("Color10_", 0) == 0) {
      ASSERT_FALSE(extra.empty());
      EXPECT_LE(*std::max_element(extra.begin(), extra.end()), 40u);
    } else {
      EXPECT_EQ(extra.size(), line.file.rfind("sBT5_", 0) == 0 ? 4u : 0u);
    }
  }
  EXPECT_EQ(banded, 22);
}

TEST(AssetFiles, HeaderGradientsFollowTheirColourStops) {
  struct Probe {
    const char* name;
    double share;
    Rgb colour;
  };
  const Rgb edge{31, 26, 23};
  const Probe probes[] = {
      {"Color01", 0.20, {181, 190, 222}}, {"Color01", 0.34, {67, 118, 180}},
      {"Color01", 0.50, {58, 50, 132}},   {"Color08", 0.24, {255, 255, 255}},
      {"Color08", 0.50, {100, 180, 87}},  {"Color08", 0.76, {50, 117, 64}},
  };
  for (const Probe& p : probes) {
    SCOPED_TRACE(std::string(p.name) + " at " + std::to_string(p.share));
    Metafile m;
    ASSERT_NO_FATAL_FAILURE(
        ParseMetafile(ReadAsset(std::string("image_store/assets/") + p.name + ".wmf"), &m));
    ASSERT_FALSE(m.h_bands.empty());
    EXPECT_TRUE(m.h_bands.front().colour == edge);
    EXPECT_TRUE(m.h_bands.back().colour == edge);
    const int y = static_cast<int>(p.share * m.height);
    for (const Band& b : m.h_bands) {
      if (b.from > y || y >= b.to) continue;
      EXPECT_LE(std::abs(b.colour.r - p.colour.r), 16);
      EXPECT_LE(std::abs(b.colour.g - p.colour.g), 16);
      EXPECT_LE(std::abs(b.colour.b - p.colour.b), 16);
    }
  }
  EXPECT_EQ(ReadAsset("image_store/assets/Color08.wmf"),
            ReadAsset("image_store/assets/Color08A.wmf"));
}

TEST(AssetFiles, ExitButtonIsARedDiscWithAWhiteCross) {
  Metafile m;
  ASSERT_NO_FATAL_FAILURE(ParseMetafile(ReadAsset("main_window/assets/exit.wmf"), &m));
  EXPECT_GE(m.ellipses, 2);
  auto drawn = [&](Rgb c) { return std::find(m.fills.begin(), m.fills.end(), c) != m.fills.end(); };
  EXPECT_TRUE(drawn({220, 43, 25}));
  EXPECT_TRUE(drawn({255, 255, 255}));
}

}  // namespace
