#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace shiori {

// Decodes `file` by its content (BMP with or without a palette, JPEG, GIF, PNG ...), or returns a null image.
[[nodiscard]] QImage DecodePicture(const std::filesystem::path& file);

// Decoded pictures by file, shared by the check the story makes before it shows a picture and by the painter, so
// that each file is decoded once. The files carry no telling extension ("0017.rgd"), so the format is always
// decided by content. Only the last few are kept, and of those only the ones the stage still shows once it has been
// drawn whole: a screen shows at most five pictures, and usually one.
class PictureCache {
 public:
  // The picture in `file`; a null image when the file is missing or does not decode.
  [[nodiscard]] QImage Get(const std::filesystem::path& file);

  // A picture from Get scaled smoothly to `size` device pixels. The window draws a picture at one size until it is
  // resized, so scaling once per size keeps repaints of a typed line cheap.
  [[nodiscard]] QImage Scaled(const QImage& original, QSize size);

  // Lets go of every picture but `kept` (pictures from Get or Scaled), and of their copies at other sizes.
  void KeepOnly(const std::vector<QImage>& kept);

 private:
  // A few images by key, most recently used first.
  class Recent {
   public:
    explicit Recent(std::size_t capacity) : capacity_(capacity) {}
    [[nodiscard]] const QImage* Find(const std::string& key);
    const QImage& Keep(std::string key, QImage image);
    // Forgets the images `keep` does not want, given their keys.
    void Filter(const std::function<bool(const std::string& key, const QImage& image)>& keep);

   private:
    std::size_t capacity_;
    std::list<std::pair<std::string, QImage>> entries_;
  };

  Recent decoded_{5};
  Recent scaled_{2};  // at full screen on a large display each is tens of megabytes
};

}  // namespace shiori
