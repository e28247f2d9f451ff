// Loading text read as UTF-8: widths of lines whose characters the load's
// pieces cut, and the choice of byte mode from the start of a file.
#include <string>

#include "file_fixture.h"
#include "windlib/config/editsettings.h"
#include "windlib/file/textgeom.h"

namespace {

using oetest::FileTest;

class Utf8LoadTest : public FileTest {
 protected:
  void SetUp() override {
    FileTest::SetUp();
    saved_ = vfUtf8;
    vfUtf8 = true;
  }
  void TearDown() override {
    vfUtf8 = saved_;
    FileTest::TearDown();
  }
  std::string Text(File* f, int32_t n) {
    Line* l = FileLine(f, n, nullptr, 0);
    return std::string(FileLineText(f, l), static_cast<size_t>(l->len));
  }

 private:
  bool saved_ = true;
};

constexpr char kWide[] = "\xe6\x97\xa5";  // 日: three bytes, two cells

TEST_F(Utf8LoadTest, WideCharactersCutByThePiecesCountTheirCells) {
  // The load reads 32 KiB pieces: shifting the line by a byte at a time
  // puts every cut of a three-byte character on a piece boundary.
  for (int shift = 0; shift < 3; ++shift) {
    for (const char* end : {"\n", "\r\n"}) {
      std::string line(static_cast<size_t>(shift), 'a');
      for (int i = 0; i < 12000; ++i) line += kWide;
      File* f = Load("wide" + std::to_string(shift) + (end[0] == '\r' ? "crlf" : ""),
                     line + end + "tail" + end);
      ASSERT_FALSE(f->byteMode);
      EXPECT_EQ(Text(f, 1), line) << "the bytes stay as they were";
      const int32_t loaded = f->maxWidth;
      EXPECT_EQ(loaded, 1 + shift + 2 * 12000) << "shift " << shift;
      FileFindMaxWidth(f);
      EXPECT_EQ(loaded, f->maxWidth);
    }
  }
}

TEST_F(Utf8LoadTest, ASequenceCutByTheEndOfTheFileIsOneCellPerByte) {
  File* f = Load("cut", "ab\xe6\x97");
  EXPECT_FALSE(f->byteMode) << "a cut at the very end does not make the file bytes";
  EXPECT_EQ(f->maxWidth, 1 + 4);
  File* g = Load("cutline", "ab\xe6\x97\nnext\n");
  EXPECT_EQ(g->maxWidth, 1 + 4);
}

TEST_F(Utf8LoadTest, AFileNotValidInItsFirst64KiBOpensAsBytes) {
  File* latin1 = Load("latin1", "caf\xe9\nh\xc3\xa9llo\n");
  EXPECT_TRUE(latin1->byteMode);
  EXPECT_FALSE(GeomDisplayRule(latin1).utf8);
  EXPECT_EQ(latin1->maxWidth, 1 + 6) << "h, two bytes, l l o: six cells";
  EXPECT_EQ(Text(latin1, 1), "caf\xe9");
  // Past the first 64 KiB an invalid byte does not change the reading; it
  // is one escaped cell.
  std::string late(70000, 'x');
  late += "\n\xff\xc3\xa9\n";
  File* f = Load("late", late);
  EXPECT_FALSE(f->byteMode);
  EXPECT_EQ(Text(f, 2), "\xff\xc3\xa9");
  Line* l = FileLine(f, 2, nullptr, 0);
  EXPECT_EQ(GeomWidthFrom(DisplayCol(0), FileLineText(f, l), l->len, GeomDisplayRule(f)).v, 2);
  // With the option off every file is read as bytes.
  vfUtf8 = false;
  File* off = Load("off", "h\xc3\xa9llo\n");
  EXPECT_EQ(off->maxWidth, 1 + 6);
}

}  // namespace
