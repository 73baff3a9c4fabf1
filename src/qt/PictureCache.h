#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>
#include <filesystem>
#include <list>
#include <string>

namespace shiori {

// Decodes `file` by its content (BMP with or without a palette, JPEG, GIF, PNG ...), or returns a null image.
[[nodiscard]] QImage DecodePicture(const std::filesystem::path& file);

// Decoded pictures by file, shared by the check the story makes before it shows a picture and by the painter, so
// that each file is decoded once. The files carry no telling extension ("0017.rgd"), so the format is always
// decided by content. Only the last few are kept: a screen shows at most five pictures, and usually one.
class PictureCache {
 public:
  // The picture in `file`; a null image when the file is missing or does not decode.
  [[nodiscard]] QImage Get(const std::filesystem::path& file);

  // A picture from Get scaled smoothly to `size` device pixels. The window draws a picture at one size until it is
  // resized, so scaling once per size keeps repaints of a typed line cheap.
  [[nodiscard]] QImage Scaled(const QImage& original, QSize size);

 private:
  // A few images by key, most recently used first.
  class Recent {
   public:
    explicit Recent(std::size_t capacity) : capacity_(capacity) {}
    [[nodiscard]] const QImage* Find(const std::string& key);
    const QImage& Keep(std::string key, QImage image);

   private:
    std::size_t capacity_;
    std::list<std::pair<std::string, QImage>> entries_;
  };

  Recent decoded_{5};
  Recent scaled_{2};  // at full screen on a large display each is tens of megabytes
};

}  // namespace shiori
