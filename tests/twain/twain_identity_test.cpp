// The identity record behind the nine properties, and the component's
// record and format helpers.
#include "twain/twain_link.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TW_UINT16 At16(const TW_IDENTITY& r, size_t offset) {
  TW_UINT16 v;
  memcpy(&v, reinterpret_cast<const char*>(&r) + offset, sizeof v);
  return v;
}

}  // namespace

TEST(Identity, AFreshIdentityIsTheApplicationsDefaultRecord) {
  TComponent owner(nullptr);
  TTwainIdentity id(&owner);
  const TW_IDENTITY& r = *id.Record();
  static_assert(sizeof r == 156);
  EXPECT_EQ(r.Id, 0u);
  EXPECT_EQ(At16(r, 4), 1);   // MajorNum
  EXPECT_EQ(At16(r, 6), 0);   // MinorNum
  EXPECT_EQ(At16(r, 8), 0);   // Language
  EXPECT_EQ(At16(r, 10), 1);  // Country
  EXPECT_EQ(At16(r, 46), 1);  // protocol 1.9
  EXPECT_EQ(At16(r, 48), 9);
  // "+" compares a copy: a field of a packed structure may be misaligned for a reference.
  EXPECT_EQ(+r.SupportedGroups, DG_CONTROL | DG_IMAGE);
  const char* bytes = reinterpret_cast<const char*>(&r);
  struct Text {
    size_t offset;
    const char* text;
  } texts[] = {{12, "Application name"}, {54, "Application manufacturer"}, {88, "App product family"},
               {122, "App product name"}};
  for (const Text& t : texts) {
    char want[34] = {};
    strcpy(want, t.text);
    EXPECT_EQ(memcmp(bytes + t.offset, want, sizeof want), 0) << t.text;  // zero-padded
  }
  EXPECT_EQ(id.Language, tlDanish);  // user locale and Danish both store 0
  EXPECT_TRUE(id.Groups == (TTwainGroups{tgControl, tgImage}));
  EXPECT_EQ(id.GetOwner(), &owner);
}

TEST(Identity, PropertiesFollowTheirStoringRules) {
  TTwainIdentity id(nullptr);
  struct Lang {
    TTwainLanguage set;
    TW_UINT16 code;
    TTwainLanguage read;
  } langs[] = {{tlUserLocale, 0, tlDanish}, {tlDanish, 0, tlDanish}, {tlUsEnglish, 13, tlUsEnglish},
               {tlChineseSimplified, 41, tlChineseSimplified}, {tlVietnamese, 113, tlVietnamese}};
  for (const Lang& l : langs) {
    id.Language = l.set;
    EXPECT_EQ(id.Record()->Version.Language, l.code) << l.set;
    EXPECT_EQ(id.Language, l.read) << l.set;
  }
  // Codes a source may carry that no ordinal stands for.
  for (TW_UINT16 code : {TW_UINT16(0xFFFF), TW_UINT16(114), TW_UINT16(500)}) {
    id.Record()->Version.Language = code;
    EXPECT_EQ(id.Language, tlUserLocale) << code;
  }

  struct Groups {
    TTwainGroups set;
    TW_UINT32 bits;
  } groups[] = {{{}, 1}, {{tgAudio}, 5}, {{tgImage}, 3}, {{tgControl, tgImage, tgAudio}, 7}};
  for (const Groups& g : groups) {
    id.Groups = g.set;
    EXPECT_EQ(+id.Record()->SupportedGroups, g.bits);
  }
  id.Record()->SupportedGroups = 6;
  EXPECT_TRUE(id.Groups == (TTwainGroups{tgControl, tgImage, tgAudio}));

  id.MajorVersion = 3;
  id.MinorVersion = 7;
  id.CountryCode = 86;
  EXPECT_EQ(id.Record()->Version.MajorNum, 3);
  EXPECT_EQ(id.Record()->Version.MinorNum, 7);
  EXPECT_EQ(id.Record()->Version.Country, 86);
}

TEST(Identity, StringsAreCutToThirtyTwoBytesOfWholeCharacters) {
  TTwainIdentity id(nullptr);
  id.ProductName = "0123456789012345678901234567890123456789";  // 40
  EXPECT_EQ(id.ProductName(), "01234567890123456789012345678901");
  EXPECT_EQ(id.Record()->ProductName[32], 0);
  EXPECT_EQ(id.Record()->ProductName[33], 0);
  id.ProductName = "short";
  EXPECT_EQ(memcmp(id.Record()->ProductName, "short\0\0\0\0", 9), 0);  // zero-filled again
  // 31 ASCII bytes then a two-byte character: the character is left out.
  id.Manufacturer = std::string(31, 'a') + "扫描";
  EXPECT_EQ(id.Manufacturer(), std::string(31, 'a'));
  id.Manufacturer = std::string(30, 'a') + "扫描";
  EXPECT_EQ(id.Manufacturer(), std::string(30, 'a') + "扫");
  id.VersionInfo = "";
  EXPECT_EQ(id.VersionInfo(), "");
  // A field a source filled to the end without a zero reads all 34 bytes.
  memset(id.Record()->ProductFamily, 'z', sizeof(TW_STR32));
  EXPECT_EQ(id.ProductFamily(), std::string(34, 'z'));
  EXPECT_EQ(id.Manufacturer(), std::string(30, 'a') + "扫");  // the next field untouched
}

TEST(Identity, AssignCopiesTheWholeRecordFromIdentitiesOnly) {
  TTwainIdentity from(nullptr), to(nullptr);
  from.Record()->Id = 77;
  from.Record()->ProtocolMinor = 8;
  from.ProductName = "Scanner";
  to.Assign(&from);
  EXPECT_EQ(memcmp(to.Record(), from.Record(), sizeof(TW_IDENTITY)), 0);
  TBitmap picture;
  EXPECT_THROW(to.Assign(&picture), EConvertError);
  EXPECT_THROW(to.Assign(nullptr), EConvertError);
  EXPECT_EQ(to.Record()->Id, 77u);
}

TEST(RecordHelpers, ItemSizesColourCountsAndFormats) {
  const int sizes[] = {1, 2, 4, 1, 2, 4, 2, 4, 16, 34, 66, 130, 256, 1026, 1024};
  for (TW_UINT16 t = 0; t < 15; ++t) EXPECT_EQ(TwainItemSize(t), sizes[t]) << t;
  EXPECT_EQ(TwainItemSize(15), 0);
  EXPECT_EQ(TwainItemSize(0xFFFF), 0);

  struct Dib {
    DWORD size;
    WORD bits;
    DWORD used;
    int colours;
  } dibs[] = {{40, 1, 0, 2}, {40, 4, 0, 16}, {40, 8, 0, 256}, {40, 8, 16, 16}, {40, 24, 0, 0},
              {40, 24, 5, 5}, {40, 32, 0, 0}, {12, 1, 0, 2},  {12, 8, 0, 256}, {12, 24, 0, 0}};
  for (const Dib& d : dibs) {
    BITMAPINFOHEADER h{};
    h.biSize = d.size;
    if (d.size == 12) {
      BITMAPCOREHEADER core{12, 2, 2, 1, d.bits};
      memcpy(&h, &core, sizeof core);
    } else {
      h.biBitCount = d.bits;
      h.biClrUsed = d.used;
    }
    EXPECT_EQ(DibColorCount(&h), d.colours) << d.size << " " << d.bits << " " << d.used;
  }

  EXPECT_EQ(TwainFormatFromCode(TWFF_TIFF), tfTIFF);
  EXPECT_EQ(TwainFormatFromCode(TWFF_BMP), tfBMP);
  EXPECT_EQ(TwainFormatFromCode(TWFF_JFIF), tfJPEG);
  EXPECT_EQ(TwainFormatFromCode(TWFF_EXIF), tfEXIF);
  EXPECT_EQ(TwainFormatFromCode(10), tfUnknown);
  EXPECT_EQ(TwainFormatFromCode(12), tfUnknown);
}
