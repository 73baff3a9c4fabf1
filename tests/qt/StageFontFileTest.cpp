#include <gtest/gtest.h>

#include <QCoreApplication>

#include "StageFixture.h"
#include "qt/StageFontFile.h"

namespace shiori::test {
namespace {

// The build ships the font beside the player, and the player finds it there before anywhere else: a machine
// without the font installed plays as well.
TEST(StageFontFile, TheShippedCopyComesFirst) {
  const std::vector<std::filesystem::path> places = StageFontPlaces();
  ASSERT_EQ(places.size(), 2u);
  const std::filesystem::path bin = QCoreApplication::applicationDirPath().toStdString();
  EXPECT_EQ(places[0], (bin.parent_path() / "share" / "shiori" / "fonts" / places[1].filename()));
  EXPECT_TRUE(std::filesystem::exists(places[0])) << places[0];
  const Result<QRawFont> font = LoadStageFont();
  ASSERT_TRUE(font.ok()) << font.error();
  EXPECT_EQ(font.value().familyName(), "IPAexGothic");
  // Japanese glyph forms, half-width katakana and the geta mark the core shows for what the font lacks.
  for (const char32_t code : {U'栞', U'ｶ', U'〓', U'A'}) {
    EXPECT_TRUE(font.value().supportsCharacter(code)) << static_cast<int>(code);
  }
}

TEST(StageFontFile, AFileThatIsNoFontIsRefusedWithItsName) {
  TempGame folder;
  const std::filesystem::path missing = folder.dir() / "gone.ttf";
  const Result<QRawFont> none = LoadFontFile(missing);
  ASSERT_FALSE(none.ok());
  EXPECT_NE(none.error().find(missing.string()), std::string::npos) << none.error();

  for (const std::string& bytes : {std::string(), std::string("OTTO but not a font at all")}) {
    folder.WriteBytes("broken.ttf", bytes);
    const Result<QRawFont> broken = LoadFontFile(folder.dir() / "broken.ttf");
    ASSERT_FALSE(broken.ok()) << bytes.size();
    EXPECT_NE(broken.error().find("broken.ttf"), std::string::npos) << broken.error();
  }
}

}  // namespace
}  // namespace shiori::test
