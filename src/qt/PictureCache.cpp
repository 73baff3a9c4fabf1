#include "qt/PictureCache.h"

#include <QImageReader>
#include <algorithm>

namespace shiori {

QImage DecodePicture(const std::filesystem::path& file) {
  QImageReader reader(QString::fromStdString(file.string()));
  reader.setDecideFormatFromContent(true);
  reader.setAutoTransform(false);
  const QImage image = reader.read();
  if (image.isNull()) return {};
  // One format for every source, so that drawing never converts a palette picture again.
  return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

const QImage* PictureCache::Recent::Find(const std::string& key) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->first != key) continue;
    entries_.splice(entries_.begin(), entries_, it);
    return &entries_.front().second;
  }
  return nullptr;
}

const QImage& PictureCache::Recent::Keep(std::string key, QImage image) {
  entries_.emplace_front(std::move(key), std::move(image));
  if (entries_.size() > capacity_) entries_.pop_back();
  return entries_.front().second;
}

void PictureCache::Recent::Filter(const std::function<bool(const std::string& key, const QImage& image)>& keep) {
  entries_.remove_if([&](const auto& entry) { return !keep(entry.first, entry.second); });
}

namespace {

// A file's name with its size and modification time, so that a picture replaced on disk is decoded afresh.
std::string VersionedKey(const std::filesystem::path& file) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  if (error) return file.string() + "|missing";
  const auto time = std::filesystem::last_write_time(file, error).time_since_epoch().count();
  return file.string() + '|' + std::to_string(size) + '|' + std::to_string(time);
}

// The start of the keys of `original`'s copies at other sizes.
std::string ScaledKeyPrefix(const QImage& original) { return std::to_string(original.cacheKey()) + '@'; }

}  // namespace

QImage PictureCache::Get(const std::filesystem::path& file) {
  const std::string key = VersionedKey(file);
  if (const QImage* found = decoded_.Find(key)) return *found;
  return decoded_.Keep(key, DecodePicture(file));
}

QImage PictureCache::Scaled(const QImage& original, QSize size) {
  if (original.isNull() || original.size() == size) return original;
  const std::string key =
      ScaledKeyPrefix(original) + std::to_string(size.width()) + 'x' + std::to_string(size.height());
  if (const QImage* found = scaled_.Find(key)) return *found;
  return scaled_.Keep(key, original.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void PictureCache::KeepOnly(const std::vector<QImage>& kept) {
  const auto is_kept = [&kept](const QImage& image) {
    return !image.isNull() &&
           std::any_of(kept.begin(), kept.end(), [&](const QImage& k) { return k.cacheKey() == image.cacheKey(); });
  };
  decoded_.Filter([&](const std::string&, const QImage& image) { return is_kept(image); });
  // A copy at another size goes with its original.
  scaled_.Filter([&](const std::string& key, const QImage&) {
    return std::any_of(kept.begin(), kept.end(), [&](const QImage& k) { return key.starts_with(ScaledKeyPrefix(k)); });
  });
}

}  // namespace shiori
