#include "ui/framework/ImageDescription.h"

#include <gtest/gtest.h>

#include "platform/Text.h"

namespace SkinUI {
namespace {

ImageDescription File(const wchar_t* file) {
  ImageDescription d;
  d.file = file;
  return d;
}

TEST(ImageDescription, Parse) {
  ImageDescription full = File(L"res\\mainWnd\\installPrg1.png");
  full.corner = {2, 2, 2, 2};
  full.mask = 0xFF0000;
  full.fade = 255;
  ImageDescription firstOnly = File(L"a.png");
  ImageDescription everything = File(L"b.png");
  everything.res = L"147";
  everything.resType = L"PNG";
  everything.color = 0xFF6C54FF;
  everything.dest = {84, 2, 100, 18};
  everything.source = {0, 0, 16, 16};
  everything.corner = {1, 2, 3, 4};
  everything.mask = 0xFFFF00FF;
  everything.fade = 128;
  everything.hole = true;
  everything.xtiled = true;
  everything.ytiled = true;
  everything.hsl = true;
  ImageDescription scale9 = File(L"c.png");
  scale9.corner = {5, 5, 5, 5};
  ImageDescription notTrue = File(L"d.png");
  ImageDescription clampedFade = File(L"e.png");
  clampedFade.fade = 255;
  ImageDescription spaced = File(L"f.png");
  spaced.fade = 10;

  const struct {
    const wchar_t* text;
    ImageDescription expected;
  } cases[] = {
      // A plain entry name.
      {L"res\\mainWnd\\bg1.png", File(L"res\\mainWnd\\bg1.png")},
      {L"", File(L"")},
      {L"file='res\\mainWnd\\installPrg1.png' corner='2,2,2,2' mask='#FF0000' fade='255' hole='false' "
       L"xtiled='false' ytiled='false'",
       full},
      // Two spaces between pairs still parse every pair.
      {L"file='res\\mainWnd\\installPrg1.png'  corner='2,2,2,2'  mask='FF0000'", full},
      // A comma ends the list after the first pair.
      {L"file='a.png',corner='2,2,2,2'", firstOnly},
      {L"file='a.png' , corner='2,2,2,2'", firstOnly},
      {L"file='b.png' res='147' restype='PNG' color='#FF6C54FF' dest='84,2,100,18' source='0,0,16,16' "
       L"corner='1,2,3,4' mask='0xFFFF00FF' fade='128' hole='true' xtiled='true' ytiled='true' hsl='true'",
       everything},
      {L"file='c.png' scale9='5,5,5,5'", scale9},
      {L"file='d.png' hole='True' xtiled='1'", notTrue},
      {L"file='e.png' fade='999'", clampedFade},
      {L"file = 'f.png' fade\t=\t'10'", spaced},
      // A broken pair after a good one ends the list; the good one stays.
      {L"file='a.png' corner=2,2", firstOnly},
      {L"file='a.png' corner='2,2", firstOnly},
      {L"file='a.png' unknown='x'", firstOnly},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ImageDescription::Parse(c.text), c.expected) << Platform::WideToUtf8(c.text);
  }
}

TEST(ImageSlot, ParsesOnceAndAgainAfterChange) {
  CImageSlot slot;
  EXPECT_TRUE(slot.IsEmpty());
  EXPECT_TRUE(slot.SetText(L"file='a.png' fade='9'"));
  EXPECT_FALSE(slot.SetText(L"file='a.png' fade='9'"));
  const ImageDescription* first = &slot.Description();
  EXPECT_EQ(first->fade, 9);
  EXPECT_EQ(&slot.Description(), first);
  slot.SetText(L"color='#FF102030'");
  EXPECT_EQ(slot.Description().color.value_or(0), 0xFF102030u);
  ASSERT_TRUE(slot.SolidImage());
}

}  // namespace
}  // namespace SkinUI
