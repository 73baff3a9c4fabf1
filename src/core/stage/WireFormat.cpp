#include "stage/WireFormat.h"

#include <cstring>
#include <string>

namespace shiori::stage {
namespace {

class Writer {
 public:
  void Word(std::uint32_t word) { words_.push_back(word); }
  // The float's bits as they are (std::bit_cast would say it, but emscripten's libc++ 14 lacks it).
  void Float(float value) {
    static_assert(sizeof(float) == sizeof(std::uint32_t));
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    words_.push_back(bits);
  }
  void Count(std::size_t count) { Word(static_cast<std::uint32_t>(count)); }
  void Put(const Box& box) {
    Float(box.x);
    Float(box.y);
    Float(box.width);
    Float(box.height);
  }
  void Bytes(const std::string& text) {
    Count(text.size());
    for (std::size_t i = 0; i < text.size(); i += 4) {
      std::uint32_t word = 0;
      for (std::size_t j = 0; j < 4 && i + j < text.size(); ++j) {
        word |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[i + j])) << (8 * j);  // little-endian
      }
      Word(word);
    }
  }

  void Put(const Fill& fill) {
    Put(fill.box);
    Word(fill.colour);
  }
  void Put(const VerticalGradient& gradient) {
    Put(gradient.box);
    Count(gradient.stops.size());
    for (const auto& [offset, colour] : gradient.stops) {
      Float(offset);
      Word(colour);
    }
  }
  void Put(const Polygon& polygon) {
    Word(polygon.colour);
    Count(polygon.points.size());
    for (const Point& point : polygon.points) {
      Float(point.x);
      Float(point.y);
    }
  }
  void Put(const RoundedBox& box) {
    Put(box.box);
    Float(box.radius);
    Word(box.fill);
    Word(box.stroke);
    Float(box.stroke_width);
  }
  void Put(const Picture& picture) {
    Float(picture.at.x);
    Float(picture.at.y);
    Put(picture.clip);
    Float(picture.scale);
    Bytes(picture.name);
  }
  void Put(const GlyphRun& run) {
    Float(run.baseline);
    Float(run.pixel_size);
    Float(run.squeeze);
    Word(run.colour);
    Word(run.bold ? 1 : 0);
    Put(run.clip);
    Count(run.glyphs.size());
    for (const Glyph& glyph : run.glyphs) {
      Word(glyph.code);
      Float(glyph.x);
    }
  }

  std::vector<std::uint32_t> Take() { return std::move(words_); }

 private:
  std::vector<std::uint32_t> words_;
};

// The variant's alternatives in the order of WireKind.
static_assert(std::variant_size_v<Drawing> == static_cast<std::size_t>(WireKind::GlyphRun));

bool MeetsAny(const Box& bounds, const std::vector<Box>& boxes) {
  for (const Box& box : boxes) {
    if (bounds.Intersects(box)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::uint32_t> EncodeFrame(const DisplayList& list, const std::vector<Box>& changed, bool whole) {
  Writer out;
  out.Word(kWireVersion);
  out.Word(whole ? 1 : 0);
  out.Count(changed.size());
  for (const Box& box : changed) out.Put(box);
  std::vector<const Item*> drawn;
  for (const Item& item : list.items) {
    if (MeetsAny(item.bounds, changed)) drawn.push_back(&item);
  }
  out.Count(drawn.size());
  for (const Item* item : drawn) {
    out.Word(static_cast<std::uint32_t>(item->drawing.index() + 1));
    out.Word(item->owner);
    out.Put(item->bounds);
    std::visit([&](const auto& drawing) { out.Put(drawing); }, item->drawing);
  }
  return out.Take();
}

}  // namespace shiori::stage
