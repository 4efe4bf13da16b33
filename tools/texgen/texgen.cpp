// texgen: draws the game's and the GUI's textures as PNG files.
//   texgen OUTDIR             writes every texture into OUTDIR
//   texgen --preview FILE     also composes them into one 800 x 600 screen
// Shapes are signed distance fields with one pixel of anti-aliasing; nine-slice
// textures are 64 x 64 with 16-pixel borders (the GUI tile's default draw params).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "o2d_tool_png.h"

namespace {

struct Color {
  float r, g, b, a;
};
Color Hex(uint32_t rgb, float a = 1.0f) {
  return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}
Color Mix(Color x, Color y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

struct Image {
  int w = 0, h = 0;
  std::vector<Color> px;
  Image(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height, Color{0, 0, 0, 0}) {}
  Color& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
  Color at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }

  // Paints `c` over the image with the coverage of each pixel centre.
  void Paint(const std::function<float(float, float)>& coverage, const std::function<Color(float, float)>& color) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const float fx = x + 0.5f, fy = y + 0.5f;
        const float cov = coverage(fx, fy);
        if (cov <= 0.0f) continue;
        Color c = color(fx, fy);
        c.a *= cov;
        Color& d = at(x, y);
        const float a = c.a + d.a * (1.0f - c.a);
        if (a <= 0.0f) continue;
        d = {(c.r * c.a + d.r * d.a * (1.0f - c.a)) / a, (c.g * c.a + d.g * d.a * (1.0f - c.a)) / a,
             (c.b * c.a + d.b * d.a * (1.0f - c.a)) / a, a};
      }
  }
  bool Save(const std::string& path) const {
    std::vector<uint8_t> bytes;
    bytes.reserve(px.size() * 4);
    for (const Color& c : px) {
      // Fully transparent pixels carry no colour, which keeps the files small.
      const Color o = c.a < 0.5f / 255.0f ? Color{0, 0, 0, 0} : c;
      for (float v : {o.r, o.g, o.b, o.a}) bytes.push_back(static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f)));
    }
    return ToolWritePNG(path, w, h, bytes);
  }
};

// Signed distance to a rounded rectangle (negative inside).
float RoundRect(float x, float y, float left, float top, float right, float bottom, float radius) {
  const float cx = (left + right) * 0.5f, cy = (top + bottom) * 0.5f;
  const float qx = std::fabs(x - cx) - ((right - left) * 0.5f - radius);
  const float qy = std::fabs(y - cy) - ((bottom - top) * 0.5f - radius);
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}
float Inside(float d) { return Clamp01(0.5f - d); }             // fill coverage
float Ring(float d, float width) { return Clamp01(0.5f - (std::fabs(d) - width * 0.5f)); }  // stroke coverage
float Glow(float d, float reach) { return d <= 0 ? 1.0f : std::exp(-(d * d) / (reach * reach)); }

using Shape = std::function<float(float, float)>;
Shape RR(float l, float t, float r, float b, float rad) {
  return [=](float x, float y) { return RoundRect(x, y, l, t, r, b, rad); };
}

// ---- game textures ----

// An empty board cell: a recessed slot in the board's dark face.
Image Cell() {
  const int s = 128;
  Image img(s, s);
  img.Paint([](float, float) { return 1.0f; }, [&](float, float y) { return Mix(Hex(0x253044), Hex(0x1d2535), y / s); });
  const Shape slot = RR(5, 5, s - 5, s - 5, 14);
  img.Paint([&](float x, float y) { return Inside(slot(x, y)); },
            [&](float, float y) { return Mix(Hex(0x151b27), Hex(0x1b2331), y / s); });
  // Inner shadow along the top and left edges, a faint light edge below.
  img.Paint([&](float x, float y) { return Inside(slot(x, y)) * Clamp01((slot(x, y) + 6.0f) / 6.0f) * 0.55f; },
            [&](float x, float y) { return Mix(Hex(0x0b0f16), Hex(0x3a4760, 0.6f), Clamp01((x + y - s * 0.8f) / (s * 0.4f))); });
  return img;
}

// A tile: a light, slightly domed face with a bevel and a soft shadow below.
Image Tile() {
  const int s = 128;
  Image img(s, s);
  const Shape face = RR(6, 5, s - 6, s - 8, 16);
  const Shape shadow = RR(7, 9, s - 5, s - 3, 16);
  img.Paint([&](float x, float y) { return Glow(shadow(x, y), 3.0f) * 0.45f; }, [](float, float) { return Hex(0x05070a); });
  img.Paint([&](float x, float y) { return Inside(face(x, y)); },
            [&](float x, float y) {
              const float t = Clamp01((y - 5) / (s - 13));
              Color c = Mix(Hex(0xfbf3df), Hex(0xe6d3aa), t);
              // A gentle highlight towards the top left.
              const float dx = x - s * 0.35f, dy = y - s * 0.3f;
              return Mix(c, Hex(0xffffff), 0.25f * std::exp(-(dx * dx + dy * dy) / (2.0f * 30.0f * 30.0f)));
            });
  // Bevel: light rim on top, darker rim on the bottom.
  img.Paint([&](float x, float y) { return Inside(face(x, y)) * Clamp01((face(x, y) + 4.0f) / 4.0f); },
            [&](float, float y) { return Mix(Hex(0xffffff, 0.7f), Hex(0xb59a66, 0.9f), Clamp01((y - s * 0.3f) / (s * 0.4f))); });
  img.Paint([&](float x, float y) { return Ring(face(x, y) + 0.5f, 1.0f) * 0.8f; }, [](float, float) { return Hex(0x7a6440); });
  return img;
}

// The block highlight: drawn at 2.5 cells with a quarter-cell margin, so the
// block spans 0.1 .. 0.9 of the texture; the frame sits in the margin.
Image Focus() {
  const int s = 256;
  Image img(s, s);
  const float m = s * 0.1f;  // block edge
  const Shape frame = RR(m - 12, m - 12, s - m + 12, s - m + 12, 26);
  img.Paint([&](float x, float y) { return Glow(std::fabs(frame(x, y)) - 3.0f, 7.0f) * 0.55f; },
            [](float, float) { return Hex(0xffb728); });
  img.Paint([&](float x, float y) { return Ring(frame(x, y), 6.0f); }, [](float, float) { return Hex(0xffd466); });
  img.Paint([&](float x, float y) { return Ring(frame(x, y), 2.0f); }, [](float, float) { return Hex(0xfff4d0); });
  return img;
}

// Inside test for a closed polygon (even-odd rule) and the distance to its edges.
struct Poly {
  std::vector<std::pair<float, float>> p;
  bool Contains(float x, float y) const {
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++)
      if ((p[i].second > y) != (p[j].second > y) &&
          x < (p[j].first - p[i].first) * (y - p[i].second) / (p[j].second - p[i].second) + p[i].first)
        in = !in;
    return in;
  }
  float EdgeDistance(float x, float y) const {
    float best = 1e9f;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
      const float ax = p[j].first, ay = p[j].second, bx = p[i].first, by = p[i].second;
      const float t = Clamp01(((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) * (bx - ax) + (by - ay) * (by - ay)));
      best = std::min(best, std::hypot(x - ax - t * (bx - ax), y - ay - t * (by - ay)));
    }
    return best;
  }
  float Signed(float x, float y) const { return Contains(x, y) ? -EdgeDistance(x, y) : EdgeDistance(x, y); }
};

// The mouse pointer: a white arrow with a dark outline and a soft shadow; its
// tip is the top-left pixel.
Image Cursor() {
  Image img(32, 32);
  const Poly arrow{{{0.6f, 0.6f}, {0.6f, 22.5f}, {5.8f, 17.6f}, {9.6f, 26.4f}, {13.4f, 24.8f}, {9.7f, 16.2f}, {16.6f, 16.2f}}};
  auto supersampled = [&](float x, float y, const std::function<float(float)>& f) {
    float sum = 0;
    for (int j = 0; j < 4; ++j)
      for (int i = 0; i < 4; ++i) sum += f(arrow.Signed(x - 0.5f + (i + 0.5f) / 4.0f, y - 0.5f + (j + 0.5f) / 4.0f));
    return sum / 16.0f;
  };
  img.Paint([&](float x, float y) { return Glow(arrow.Signed(x - 1.5f, y - 2.0f), 1.6f) * 0.35f; },
            [](float, float) { return Hex(0); });
  img.Paint([&](float x, float y) { return supersampled(x, y, [](float d) { return d < 0.7f ? 1.0f : 0.0f; }); },
            [](float, float) { return Hex(0x111418); });
  img.Paint([&](float x, float y) { return supersampled(x, y, [](float d) { return d < -0.9f ? 1.0f : 0.0f; }); },
            [](float, float y) { return Mix(Hex(0xffffff), Hex(0xdfe6f0), y / 26.0f); });
  return img;
}

// ---- GUI textures ----

// A window panel: rounded dark-blue face, light rim, thin dark outline.
Image WindowPanel() {
  Image img(64, 64);
  const Shape outer = RR(0.5f, 0.5f, 63.5f, 63.5f, 12);
  img.Paint([&](float x, float y) { return Inside(outer(x, y)); }, [](float, float) { return Hex(0x0e131c, 0.95f); });
  const Shape face = RR(2, 2, 62, 62, 10.5f);
  img.Paint([&](float x, float y) { return Inside(face(x, y)); }, [](float, float y) {
    return Mix(Hex(0x34425a, 0.96f), Hex(0x2a354a, 0.96f), Clamp01((y - 2) / 14.0f));
  });
  img.Paint([&](float x, float y) { return Ring(face(x, y) + 1.0f, 1.5f); },
            [](float, float y) { return Mix(Hex(0x9fb4d6), Hex(0x5d7093), Clamp01(y / 64.0f)); });
  return img;
}

// A button face in one of its four looks.
Image Button(uint32_t top, uint32_t bottom, uint32_t rim, float alpha, bool pressed) {
  Image img(64, 64);
  const Shape outer = RR(1, 1, 63, 63, 10);
  img.Paint([&](float x, float y) { return Inside(outer(x, y)); }, [&](float, float) { return Hex(0x0a0e15, alpha); });
  const Shape face = RR(2.5f, 2.5f, 61.5f, 61.5f, 8.5f);
  img.Paint([&](float x, float y) { return Inside(face(x, y)); }, [&](float, float y) {
    const float t = Clamp01((y - 3) / 58.0f);
    return Mix(Hex(pressed ? bottom : top, alpha), Hex(pressed ? top : bottom, alpha), t);
  });
  // A glossy upper rim (lower rim when pressed).
  img.Paint([&](float x, float y) { return Inside(face(x, y)) * Clamp01((face(x, y) + 2.5f) / 2.5f); },
            [&](float, float y) {
              const float t = Clamp01((y - 16.0f) / 32.0f);
              return Mix(Hex(rim, 0.8f * alpha), Hex(0x000000, 0.25f * alpha), pressed ? 1.0f - t : t);
            });
  return img;
}

// The move-counter and best-result panel: darker, translucent, with a gold rim.
Image InfoPanel() {
  Image img(64, 64);
  const Shape face = RR(1, 1, 63, 63, 9);
  img.Paint([&](float x, float y) { return Inside(face(x, y)); }, [](float, float y) {
    return Mix(Hex(0x1a2130, 0.9f), Hex(0x121824, 0.9f), Clamp01(y / 64.0f));
  });
  img.Paint([&](float x, float y) { return Ring(face(x, y) + 1.5f, 1.5f); }, [](float, float) { return Hex(0xd6aa4e); });
  return img;
}

// The text box field: a light inset field with a dark rim and an inner shadow.
Image TextBox() {
  Image img(64, 64);
  const Shape outer = RR(1, 1, 63, 63, 6);
  img.Paint([&](float x, float y) { return Inside(outer(x, y)); }, [](float, float) { return Hex(0x4b5870); });
  const Shape face = RR(2.5f, 2.5f, 61.5f, 61.5f, 4.5f);
  img.Paint([&](float x, float y) { return Inside(face(x, y)); }, [](float, float) { return Hex(0xf1f4f8); });
  img.Paint([&](float x, float y) { return Inside(face(x, y)) * Clamp01((face(x, y) + 4.0f) / 4.0f) * 0.35f; },
            [](float, float y) { return Mix(Hex(0x2a3346), Hex(0xffffff, 0.0f), Clamp01((y - 8.0f) / 48.0f)); });
  return img;
}

// The desktop: a deep blue gradient with a soft light from above and a faint
// diagonal weave; stretched to the screen.
Image Desktop() {
  const int s = 512;
  Image img(s, s);
  img.Paint([](float, float) { return 1.0f; }, [&](float x, float y) {
    Color c = Mix(Hex(0x203252), Hex(0x0c1320), std::pow(y / s, 0.8f));
    const float dx = (x - s * 0.5f) / s, dy = (y + s * 0.15f) / s;
    c = Mix(c, Hex(0x4a6a9a), 0.35f * std::exp(-(dx * dx * 2.0f + dy * dy) * 3.0f));
    const float weave = 0.5f + 0.5f * std::sin((x + y) * 0.19635f) * std::sin((x - y) * 0.19635f);
    return Mix(c, Hex(0xffffff), 0.025f * weave);
  });
  return img;
}

struct Output {
  const char* file;
  Image img;
};

std::vector<Output> AllTextures() {
  std::vector<Output> out;
  out.push_back({"tex_cell.png", Cell()});
  out.push_back({"tex_tile.png", Tile()});
  out.push_back({"tex_focus.png", Focus()});
  out.push_back({"tex_cursor.png", Cursor()});
  out.push_back({"gui_window.png", WindowPanel()});
  out.push_back({"gui_button_normal.png", Button(0x5177b0, 0x34568a, 0xb9d0f2, 1.0f, false)});
  out.push_back({"gui_button_selected.png", Button(0x6a93d0, 0x4570ad, 0xe0ecff, 1.0f, false)});
  out.push_back({"gui_button_pressed.png", Button(0x4a6da3, 0x2b4670, 0x9fb6da, 1.0f, true)});
  out.push_back({"gui_button_disabled.png", Button(0x5d636e, 0x4a4f58, 0x8a909a, 0.75f, false)});
  out.push_back({"gui_infopanel.png", InfoPanel()});
  out.push_back({"gui_textbox.png", TextBox()});
  out.push_back({"gui_desktop.png", Desktop()});
  return out;
}

// The program's icon: four tiles of a block on the board's dark face, the
// top-left one lit as the block under the pointer.
Image Icon() {
  const int s = 128;
  Image img(s, s);
  const Shape back = RR(4, 4, s - 4, s - 4, 22);
  img.Paint([&](float x, float y) { return Inside(back(x, y)); },
            [&](float, float y) { return Mix(Hex(0x2c4a7a), Hex(0x16243d), Clamp01(y / s)); });
  for (int i = 0; i < 4; ++i) {
    const float left = 16.0f + (i % 2) * 50.0f, top = 16.0f + (i / 2) * 50.0f;
    const Shape face = RR(left, top, left + 46, top + 46, 9);
    img.Paint([&](float x, float y) { return Glow(face(x, y + 2.0f), 2.5f) * 0.5f; }, [](float, float) { return Hex(0x05070a); });
    img.Paint([&](float x, float y) { return Inside(face(x, y)); },
              [&](float, float y) { return Mix(Hex(i == 0 ? 0xffe7a8 : 0xfbf3df), Hex(0xe0cb9c), Clamp01((y - top) / 46)); });
    img.Paint([&](float x, float y) { return Ring(face(x, y) + 0.5f, 1.0f) * 0.8f; }, [](float, float) { return Hex(0x7a6440); });
  }
  return img;
}

// ---- preview: the textures as the player sees them ----

Color Sample(const Image& img, float u, float v) {  // bilinear, clamped
  const float x = std::clamp(u * img.w - 0.5f, 0.0f, img.w - 1.0f), y = std::clamp(v * img.h - 0.5f, 0.0f, img.h - 1.0f);
  const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  const int x1 = std::min(x0 + 1, img.w - 1), y1 = std::min(y0 + 1, img.h - 1);
  const float fx = x - x0, fy = y - y0;
  return Mix(Mix(img.at(x0, y0), img.at(x1, y0), fx), Mix(img.at(x0, y1), img.at(x1, y1), fx), fy);
}
void Blit(Image& dst, const Image& src, float x, float y, float w, float h, float u0 = 0, float v0 = 0, float u1 = 1,
          float v1 = 1) {
  dst.Paint([=](float px, float py) { return (px >= x && px < x + w && py >= y && py < y + h) ? 1.0f : 0.0f; },
            [&](float px, float py) { return Sample(src, u0 + (px - x) / w * (u1 - u0), v0 + (py - y) / h * (v1 - v0)); });
}
void NineSlice(Image& dst, const Image& src, float x, float y, float w, float h) {
  const float b = 16, bu = 0.25f;
  const float xs[] = {x, x + b, x + w - b, x + w}, ys[] = {y, y + b, y + h - b, y + h};
  const float us[] = {0, bu, 1 - bu, 1};
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 3; ++i)
      Blit(dst, src, xs[i], ys[j], xs[i + 1] - xs[i], ys[j + 1] - ys[j], us[i], us[j], us[i + 1], us[j + 1]);
}

Image Preview(const std::vector<Output>& t) {
  auto get = [&](const std::string& f) -> const Image& {
    for (const Output& o : t)
      if (f == o.file) return o.img;
    return t[0].img;
  };
  Image s(800, 600);
  Blit(s, get("gui_desktop.png"), 0, 0, 800, 600);
  NineSlice(s, get("gui_window.png"), 40, 40, 720, 520);
  const float cell = 100, left = 80, top = 90;
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 4; ++y) Blit(s, get("tex_cell.png"), left + x * cell, top + y * cell, cell, cell);
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 4; ++y)
      if (x + y * 4 != 15) Blit(s, get("tex_tile.png"), left + x * cell, top + y * cell, cell, cell);
  Blit(s, get("tex_focus.png"), left + 1 * cell - 0.25f * cell, top + 1 * cell - 0.25f * cell, 2.5f * cell, 2.5f * cell);
  NineSlice(s, get("gui_infopanel.png"), 520, 90, 200, 110);
  NineSlice(s, get("gui_button_normal.png"), 520, 240, 200, 44);
  NineSlice(s, get("gui_button_selected.png"), 520, 300, 200, 44);
  NineSlice(s, get("gui_button_pressed.png"), 520, 360, 200, 44);
  NineSlice(s, get("gui_button_disabled.png"), 520, 420, 200, 44);
  NineSlice(s, get("gui_textbox.png"), 520, 480, 200, 32);
  Blit(s, get("tex_cursor.png"), 250, 250, 32, 32);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--preview") return Preview(AllTextures()).Save(argv[2]) ? 0 : 1;
  if (argc == 3 && std::string(argv[1]) == "--icon") return Icon().Save(argv[2]) ? 0 : 1;
  if (argc != 2) {
    std::fprintf(stderr, "usage: texgen OUTDIR | texgen --preview FILE.png | texgen --icon FILE.png\n");
    return 2;
  }
  for (const Output& o : AllTextures())
    if (!o.img.Save(std::string(argv[1]) + "/" + o.file)) {
      std::fprintf(stderr, "texgen: cannot write %s/%s\n", argv[1], o.file);
      return 1;
    }
  return 0;
}
