// Checks the committed pictures against the sizes and formats the windows rely on: a wrong
// bounding box or band layout shows up as a misplaced or striped background only at run time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

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

struct BandedFile {
  const char* name;
  int width, height;
  char orientation;
};

constexpr BandedFile kBanded[] = {
    {"Color01", 10529, 1136, 'H'}, {"Color03", 10646, 661, 'H'},  {"Color05", 2149, 1812, 'V'},
    {"Color05A", 2148, 1812, 'V'}, {"Color06", 7032, 707, 'V'},   {"Color07", 2149, 1813, 'V'},
    {"Color07A", 1925, 1925, 'V'}, {"Color08", 8679, 882, 'H'},   {"Color08A", 8679, 882, 'H'},
    {"Color10_0", 2133, 510, 'H'}, {"Color10_1", 2134, 509, 'H'}, {"Color11", 3129, 1024, 'H'},
    {"Color12", 2793, 882, 'H'},   {"Color14", 2873, 882, 'H'},   {"Color15", 2401, 883, 'H'},
    {"Color20", 5416, 711, 'H'},   {"Color21", 5402, 697, 'H'},   {"Color22", 5416, 711, 'H'},
    {"Color23", 5416, 711, 'H'},   {"Color24", 1301, 3767, 'V'},  {"sBT5_0", 1971, 483, 'V'},
    {"sBT5_1", 1971, 483, 'V'},
};

Metafile LoadBanded(const std::string& name) {
  Metafile m;
  const Bytes data = ReadAsset("image_store/assets/" + name + ".wmf");
  EXPECT_FALSE(data.empty()) << name;
  if (!data.empty()) ParseMetafile(data, &m);
  return m;
}

TEST(AssetFiles, BandedMetafilesTileTheirBoxWithDistinctBands) {
  for (const BandedFile& f : kBanded) {
    SCOPED_TRACE(f.name);
    const Metafile m = LoadBanded(f.name);
    EXPECT_EQ((std::vector<int>{m.width, m.height, m.window_w, m.window_h}),
              (std::vector<int>{f.width, f.height, f.width, f.height}));
    std::vector<Band> bands = f.orientation == 'H' ? m.h_bands : m.v_bands;
    EXPECT_TRUE((f.orientation == 'H' ? m.v_bands : m.h_bands).empty());
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
    EXPECT_EQ(edge, f.orientation == 'H' ? f.height : f.width);
    // Only the framed bars carry outlines and only the sBT5 bars carry four marks.
    const std::string name = f.name;
    const auto& extra = m.other_polygons;
    if (name.rfind("Color10_", 0) == 0) {
      ASSERT_FALSE(extra.empty());
      EXPECT_LE(*std::max_element(extra.begin(), extra.end()), 40u);
    } else {
      EXPECT_EQ(extra.size(), name.rfind("sBT5_", 0) == 0 ? 4u : 0u);
    }
  }
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
    const Metafile m = LoadBanded(p.name);
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
  EXPECT_EQ((std::vector<int>{m.width, m.height, m.window_w, m.window_h}),
            (std::vector<int>{428, 405, 428, 405}));
  EXPECT_GE(m.ellipses, 2);
  auto drawn = [&](Rgb c) { return std::find(m.fills.begin(), m.fills.end(), c) != m.fills.end(); };
  EXPECT_TRUE(drawn({220, 43, 25}));
  EXPECT_TRUE(drawn({255, 255, 255}));
}

TEST(AssetFiles, IconsHoldOneImageOfTheExpectedFormat) {
  struct Icon {
    const char* path;
    unsigned size, bpp;
  };
  const Icon icons[] = {
      {"main_window/assets/app.ico", 32, 4},       {"main_window/assets/pointer.ico", 32, 8},
      {"image_store/assets/BtnPic0.ico", 16, 4},   {"image_store/assets/MoveIcon0.ico", 32, 4},
      {"image_store/assets/MoveIcon1.ico", 32, 4}, {"image_store/assets/BTPic0.ico", 32, 4},
      {"image_store/assets/BTPic1.ico", 32, 4},
  };
  for (const Icon& icon : icons) {
    SCOPED_TRACE(icon.path);
    const Bytes d = ReadAsset(icon.path);
    ASSERT_GE(d.size(), 22u + 40u);
    // Directory (reserved, type 1 = icon, count), its one entry (size, colour count, bit depth,
    // byte count, offset), then the DIB header, whose height covers colour and mask rows.
    const std::vector<size_t> got = {U16(d, 0),  U16(d, 2),  U16(d, 4),  d[6],       d[7],
                                     d[8],       U16(d, 12), U32(d, 14), U32(d, 18), U32(d, 22),
                                     U32(d, 26), U32(d, 30), U16(d, 36), U32(d, 38)};
    const size_t n = icon.size, bpp = icon.bpp, colours = bpp == 4 ? 16 : 0;
    const std::vector<size_t> want = {0,  1,  1, n,     n,   colours, bpp, d.size() - 22,
                                      22, 40, n, 2 * n, bpp, 0};
    EXPECT_EQ(got, want);
    const size_t xor_row = (n * bpp + 31) / 32 * 4, and_row = (n + 31) / 32 * 4;
    EXPECT_EQ(d.size(), 22 + 40 + (4u << bpp) + (xor_row + and_row) * n);
  }
}

TEST(AssetFiles, JpegsAreBaselineThreeComponentAtTheirSize) {
  struct Jpeg {
    const char* name;
    unsigned width, height;
  };
  const Jpeg jpegs[] = {
      {"BtnPic1", 20, 20},  {"sBT0", 275, 87},    {"sBT1", 271, 86},    {"sBT1_0", 194, 74},
      {"sBT1_1", 194, 74},  {"sBT1_2", 196, 76},  {"sBT3_0", 440, 120}, {"sBT3_1", 440, 120},
      {"sBT3_2", 440, 120}, {"sBT3_3", 440, 120}, {"sBT4_0", 168, 58},  {"sBT4_1", 168, 58},
      {"sBT7_0", 464, 74},  {"sBT7_1", 464, 74},
  };
  auto be16 = [](const Bytes& b, size_t at) { return unsigned{b[at]} << 8 | b[at + 1]; };
  for (const Jpeg& j : jpegs) {
    SCOPED_TRACE(j.name);
    const Bytes d = ReadAsset(std::string("image_store/assets/") + j.name + ".jpg");
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
        EXPECT_EQ(be16(d, at + 5), j.height);
        EXPECT_EQ(be16(d, at + 7), j.width);
        EXPECT_EQ(d[at + 9], 3);
        break;
      }
      at += 2 + be16(d, at + 2);
    }
  }
}

// The manifest is what other tooling reads; it must agree with the files themselves.
TEST(AssetFiles, ManifestMatchesTheMetafiles) {
  std::ifstream manifest(std::string(TALVO_SOURCE_DIR) + "/image_store/assets/manifest.txt");
  std::string name, format, orientation;
  int width = 0, height = 0, bands = 0, metafiles = 0, lines = 0;
  while (manifest >> name >> format >> width >> height >> bands >> orientation) {
    ++lines;
    if (format != "wmf") continue;
    SCOPED_TRACE(name);
    ++metafiles;
    const Metafile m = LoadBanded(name.substr(0, name.size() - 4));
    EXPECT_EQ(width, m.width);
    EXPECT_EQ(height, m.height);
    EXPECT_EQ(static_cast<size_t>(bands), (orientation == "H" ? m.h_bands : m.v_bands).size());
  }
  EXPECT_EQ(metafiles, static_cast<int>(std::size(kBanded)));
  EXPECT_EQ(lines, metafiles + 5 + 14);
}

}  // namespace
