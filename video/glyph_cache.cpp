#include "video/glyph_cache.h"

namespace grumbol {

GlyphCache::GlyphCache(std::unique_ptr<platform::Font> font) : font_(std::move(font)) {
  ascii_.fill(-1);
  if (font_) line_height_ = font_->LineHeight();
}

GlyphCache::~GlyphCache() = default;

const GlyphCache::Glyph& GlyphCache::FindSlow(char32_t code_point) {
  if (code_point >= ascii_.size()) {
    const auto found = others_.find(code_point);
    if (found != others_.end()) return glyphs_[static_cast<std::size_t>(found->second)];
  }
  const auto index = static_cast<std::int32_t>(glyphs_.size());
  glyphs_.push_back(Rasterise(code_point));
  if (code_point < ascii_.size()) {
    ascii_[code_point] = index;
  } else {
    others_.emplace(code_point, index);
  }
  return glyphs_.back();
}

GlyphCache::Glyph GlyphCache::Rasterise(char32_t code_point) {
  if (!font_) return {{}, coverage_.size()};
  const platform::GlyphImage image = font_->Rasterise(code_point);
  const Glyph glyph{image, coverage_.size()};
  coverage_.insert(coverage_.end(), image.coverage.begin(), image.coverage.end());
  return glyph;
}

}  // namespace grumbol
