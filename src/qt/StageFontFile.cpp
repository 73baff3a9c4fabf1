#include "qt/StageFontFile.h"

#include <QCoreApplication>
#include <QFile>
#include <map>
#include <memory>
#include <string>

namespace shiori {
namespace {

struct MappedFont {
  std::unique_ptr<QFile> file;  // keeps the mapping the font's engine reads from
  QRawFont font;
};

Result<QRawFont> MapFont(const std::filesystem::path& path, MappedFont& mapped) {
  mapped.file = std::make_unique<QFile>(QString::fromStdString(path.string()));
  if (!mapped.file->open(QIODevice::ReadOnly)) {
    return Result<QRawFont>::Failure("cannot open the stage font " + path.string());
  }
  const qint64 size = mapped.file->size();
  uchar* bytes = size > 0 ? mapped.file->map(0, size) : nullptr;
  if (bytes == nullptr) return Result<QRawFont>::Failure("cannot read the stage font " + path.string());
  const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), size);
  // Vertical hinting only: horizontal hinting would move glyphs off the places the core gave them.
  mapped.font = QRawFont(data, 1, QFont::PreferVerticalHinting);
  if (!mapped.font.isValid()) return Result<QRawFont>::Failure("the stage font " + path.string() + " is not a font");
  return mapped.font;
}

}  // namespace

std::vector<std::filesystem::path> StageFontPlaces() {
  const std::filesystem::path name = std::filesystem::path(SHIORI_STAGE_FONT_FILE).filename();
  std::vector<std::filesystem::path> places;
  if (QCoreApplication::instance() != nullptr) {
    const std::filesystem::path exe_dir = QCoreApplication::applicationDirPath().toStdString();
    places.push_back((exe_dir / ".." / "share" / "shiori" / "fonts" / name).lexically_normal());
  }
  places.emplace_back(SHIORI_STAGE_FONT_FILE);
  return places;
}

Result<QRawFont> LoadFontFile(const std::filesystem::path& file) {
  static std::map<std::filesystem::path, MappedFont> loaded;
  if (const auto found = loaded.find(file); found != loaded.end()) return found->second.font;
  MappedFont mapped;
  Result<QRawFont> font = MapFont(file, mapped);
  if (font) loaded.emplace(file, std::move(mapped));
  return font;
}

Result<QRawFont> LoadStageFont() {
  std::string tried;
  for (const std::filesystem::path& place : StageFontPlaces()) {
    Result<QRawFont> font = LoadFontFile(place);
    if (font) return font;
    tried += (tried.empty() ? "" : "; ") + font.error();
  }
  return Result<QRawFont>::Failure(tried);
}

}  // namespace shiori
