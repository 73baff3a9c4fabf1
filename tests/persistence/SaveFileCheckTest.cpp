#include <gtest/gtest.h>

#include <string>

#include "persistence/SaveFileCheck.h"

namespace shiori {
namespace {

TEST(SaveFileCheck, TakesEachSaveInTheFormThePlayerWritesIt) {
  EXPECT_TRUE(CheckSaveFile("data2.rgd", "7,\"01/02 03:04\",#TRUE#\r\n").ok());
  EXPECT_TRUE(CheckSaveFile("DATA4.RGD", "1,\"\x83Z\x81[\x83u\",#FALSE#\r\n").ok()) << "any case, Shift-JIS stamp";
  EXPECT_TRUE(CheckSaveFile("data5.rgd", std::string("\x01\x02\x02\x01", 4)).ok());
  EXPECT_TRUE(CheckSaveFile("data5.rgd", "").ok()) << "an empty record: nothing read yet";
  EXPECT_TRUE(CheckSaveFile("conf.rgd", "#FALSE#\r\n").ok());
  EXPECT_TRUE(CheckSaveFile("conf2.rgd", "3\r\n").ok());
}

TEST(SaveFileCheck, RefusesWhatWouldTakeTheirPlaceBroken) {
  const std::string junk(37, '\xff');
  for (const char* name : {"data2.rgd", "data5.rgd", "conf.rgd", "conf2.rgd"}) {
    const Status checked = CheckSaveFile(name, junk);
    ASSERT_FALSE(checked.ok()) << name;
    EXPECT_EQ(checked.error().rfind(name, 0), 0U) << "the message starts with the file: " << checked.error();
  }
  EXPECT_FALSE(CheckSaveFile("data3.rgd", "#TRUE#\r\n").ok()) << "a music setting is no bookmark";
  EXPECT_FALSE(CheckSaveFile("data3.rgd", "70000,\"x\",#TRUE#\r\n").ok()) << "beyond any page";
  EXPECT_FALSE(CheckSaveFile("conf.rgd", "2\r\n").ok()) << "a speed is no music setting";
  EXPECT_FALSE(CheckSaveFile("conf2.rgd", "#TRUE#\r\n").ok());
  EXPECT_FALSE(CheckSaveFile("conf2.rgd", "256\r\n").ok());
  EXPECT_FALSE(CheckSaveFile("data5.rgd", std::string("\x01\x00", 2)).ok()) << "a 0 would read as read by a skip";
  EXPECT_FALSE(CheckSaveFile("data5.rgd", std::string(40000, '\x01')).ok());
  EXPECT_FALSE(CheckSaveFile("data1.rgd", "").ok()) << "the scenario is not a save";
}

}  // namespace
}  // namespace shiori
