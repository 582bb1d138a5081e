// The TWAIN 1.9 protocol: records and codes as the public standard publishes
// them, shared by the acquisition component and the source manager. Records
// are packed on 2-byte boundaries; handles and pointers inside them are
// native (8 bytes on x86_64), which is consistent because both sides of every
// call are built from this one header.
#pragma once
#include <cstddef>
#include <cstdint>

typedef char TW_STR32[34];
typedef char TW_STR64[66];
typedef char TW_STR128[130];
typedef char TW_STR255[256];
typedef char TW_STR1024[1026];
typedef uint16_t TW_UNI512[512];

typedef int8_t TW_INT8;
typedef int16_t TW_INT16;
typedef int32_t TW_INT32;
typedef uint8_t TW_UINT8;
typedef uint16_t TW_UINT16;
typedef uint32_t TW_UINT32;
typedef uint16_t TW_BOOL;
typedef void* TW_HANDLE;
typedef void* TW_MEMREF;

#pragma pack(push, 2)

struct TW_FIX32 {
  TW_INT16 Whole;
  TW_UINT16 Frac;
};

struct TW_FRAME {
  TW_FIX32 Left;
  TW_FIX32 Top;
  TW_FIX32 Right;
  TW_FIX32 Bottom;
};

struct TW_VERSION {
  TW_UINT16 MajorNum;
  TW_UINT16 MinorNum;
  TW_UINT16 Language;
  TW_UINT16 Country;
  TW_STR32 Info;
};

struct TW_IDENTITY {
  TW_UINT32 Id;
  TW_VERSION Version;
  TW_UINT16 ProtocolMajor;
  TW_UINT16 ProtocolMinor;
  TW_UINT32 SupportedGroups;
  TW_STR32 Manufacturer;
  TW_STR32 ProductFamily;
  TW_STR32 ProductName;
};
typedef TW_IDENTITY* pTW_IDENTITY;

struct TW_USERINTERFACE {
  TW_BOOL ShowUI;
  TW_BOOL ModalUI;
  TW_HANDLE hParent;
};

// pEvent points at the application's window message (MSG).
struct TW_EVENT {
  TW_MEMREF pEvent;
  TW_UINT16 TWMessage;
};

struct TW_CAPABILITY {
  TW_UINT16 Cap;
  TW_UINT16 ConType;
  TW_HANDLE hContainer;
};

// Containers: the item bytes follow the header inline.
struct TW_ONEVALUE {
  TW_UINT16 ItemType;
  TW_UINT32 Item;
};

struct TW_ENUMERATION {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT32 CurrentIndex;
  TW_UINT32 DefaultIndex;
  TW_UINT8 ItemList[1];
};

struct TW_ARRAY {
  TW_UINT16 ItemType;
  TW_UINT32 NumItems;
  TW_UINT8 ItemList[1];
};

struct TW_RANGE {
  TW_UINT16 ItemType;
  TW_UINT32 MinValue;
  TW_UINT32 MaxValue;
  TW_UINT32 StepSize;
  TW_UINT32 DefaultValue;
  TW_UINT32 CurrentValue;
};

struct TW_IMAGEINFO {
  TW_FIX32 XResolution;
  TW_FIX32 YResolution;
  TW_INT32 ImageWidth;
  TW_INT32 ImageLength;
  TW_INT16 SamplesPerPixel;
  TW_INT16 BitsPerSample[8];
  TW_INT16 BitsPerPixel;
  TW_BOOL Planar;
  TW_INT16 PixelType;
  TW_UINT16 Compression;
};

struct TW_SETUPMEMXFER {
  TW_UINT32 MinBufSize;
  TW_UINT32 MaxBufSize;
  TW_UINT32 Preferred;
};

struct TW_MEMORY {
  TW_UINT32 Flags;
  TW_UINT32 Length;
  TW_MEMREF TheMem;
};

struct TW_IMAGEMEMXFER {
  TW_UINT16 Compression;
  TW_UINT32 BytesPerRow;
  TW_UINT32 Columns;
  TW_UINT32 Rows;
  TW_UINT32 XOffset;
  TW_UINT32 YOffset;
  TW_UINT32 BytesWritten;
  TW_MEMORY Memory;
};

struct TW_SETUPFILEXFER {
  TW_STR255 FileName;
  TW_UINT16 Format;
  TW_INT16 VRefNum;
};

struct TW_PENDINGXFERS {
  TW_UINT16 Count;
  union {
    TW_UINT32 EOJ;
    TW_UINT32 Reserved;
  };
};

struct TW_ELEMENT8 {
  TW_UINT8 Index;
  TW_UINT8 Channel1;
  TW_UINT8 Channel2;
  TW_UINT8 Channel3;
};

struct TW_PALETTE8 {
  TW_UINT16 NumColors;
  TW_UINT16 PaletteType;
  TW_ELEMENT8 Colors[256];
};

struct TW_STATUS {
  TW_UINT16 ConditionCode;
  TW_UINT16 Reserved;
};

#pragma pack(pop)

static_assert(sizeof(TW_FIX32) == 4 && sizeof(TW_VERSION) == 42, "TWAIN record layout");
static_assert(sizeof(TW_IDENTITY) == 156, "TW_IDENTITY is 156 bytes");
static_assert(sizeof(TW_ONEVALUE) == 6 && sizeof(TW_RANGE) == 22, "TWAIN container layout");
static_assert(offsetof(TW_ENUMERATION, ItemList) == 14 && offsetof(TW_ARRAY, ItemList) == 6,
              "TWAIN container headers");
static_assert(sizeof(TW_IMAGEINFO) == 42 && sizeof(TW_SETUPMEMXFER) == 12 && sizeof(TW_STATUS) == 4,
              "TWAIN record layout");
static_assert(sizeof(TW_SETUPFILEXFER) == 260 && sizeof(TW_PENDINGXFERS) == 6 && sizeof(TW_PALETTE8) == 1028,
              "TWAIN record layout");
static_assert(sizeof(TW_USERINTERFACE) == 4 + sizeof(void*) && sizeof(TW_CAPABILITY) == 4 + sizeof(void*) &&
                  sizeof(TW_EVENT) == sizeof(void*) + 2 && sizeof(TW_MEMORY) == 8 + sizeof(void*) &&
                  sizeof(TW_IMAGEMEMXFER) == 26 + sizeof(TW_MEMORY),
              "records holding handles keep them native and unpadded");

// The single entry point of the source manager.
typedef TW_UINT16 (*DSMENTRYPROC)(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 DG, TW_UINT16 DAT,
                                  TW_UINT16 MSG, TW_MEMREF data);

// Protocol version this header describes.
enum : TW_UINT16 { TWON_PROTOCOLMAJOR = 1, TWON_PROTOCOLMINOR = 9 };

// Data groups.
enum : TW_UINT32 { DG_CONTROL = 0x0001, DG_IMAGE = 0x0002, DG_AUDIO = 0x0004 };

// Data argument types.
enum : TW_UINT16 {
  DAT_NULL = 0x0000,
  DAT_CAPABILITY = 0x0001,
  DAT_EVENT = 0x0002,
  DAT_IDENTITY = 0x0003,
  DAT_PARENT = 0x0004,
  DAT_PENDINGXFERS = 0x0005,
  DAT_SETUPMEMXFER = 0x0006,
  DAT_SETUPFILEXFER = 0x0007,
  DAT_STATUS = 0x0008,
  DAT_USERINTERFACE = 0x0009,
  DAT_XFERGROUP = 0x000A,
  DAT_IMAGEINFO = 0x0101,
  DAT_IMAGELAYOUT = 0x0102,
  DAT_IMAGEMEMXFER = 0x0103,
  DAT_IMAGENATIVEXFER = 0x0104,
  DAT_IMAGEFILEXFER = 0x0105,
  DAT_PALETTE8 = 0x010A,
};

// Messages.
enum : TW_UINT16 {
  MSG_NULL = 0x0000,
  MSG_GET = 0x0001,
  MSG_GETCURRENT = 0x0002,
  MSG_GETDEFAULT = 0x0003,
  MSG_GETFIRST = 0x0004,
  MSG_GETNEXT = 0x0005,
  MSG_SET = 0x0006,
  MSG_RESET = 0x0007,
  MSG_QUERYSUPPORT = 0x0008,
  MSG_XFERREADY = 0x0101,
  MSG_CLOSEDSREQ = 0x0102,
  MSG_CLOSEDSOK = 0x0103,
  MSG_DEVICEEVENT = 0x0104,
  MSG_OPENDSM = 0x0301,
  MSG_CLOSEDSM = 0x0302,
  MSG_OPENDS = 0x0401,
  MSG_CLOSEDS = 0x0402,
  MSG_USERSELECT = 0x0403,
  MSG_DISABLEDS = 0x0501,
  MSG_ENABLEDS = 0x0502,
  MSG_ENABLEDSUIONLY = 0x0503,
  MSG_PROCESSEVENT = 0x0601,
  MSG_ENDXFER = 0x0701,
};

// Return codes.
enum : TW_UINT16 {
  TWRC_SUCCESS = 0,
  TWRC_FAILURE = 1,
  TWRC_CHECKSTATUS = 2,
  TWRC_CANCEL = 3,
  TWRC_DSEVENT = 4,
  TWRC_NOTDSEVENT = 5,
  TWRC_XFERDONE = 6,
  TWRC_ENDOFLIST = 7,
  TWRC_INFONOTSUPPORTED = 8,
  TWRC_DATANOTAVAILABLE = 9,
};

// Condition codes (DAT_STATUS).
enum : TW_UINT16 {
  TWCC_SUCCESS = 0,
  TWCC_BUMMER = 1,
  TWCC_LOWMEMORY = 2,
  TWCC_NODS = 3,
  TWCC_MAXCONNECTIONS = 4,
  TWCC_OPERATIONERROR = 5,
  TWCC_BADCAP = 6,
  TWCC_BADPROTOCOL = 9,
  TWCC_BADVALUE = 10,
  TWCC_SEQERROR = 11,
  TWCC_BADDEST = 12,
  TWCC_CAPUNSUPPORTED = 13,
  TWCC_CAPBADOPERATION = 14,
  TWCC_CAPSEQERROR = 15,
  TWCC_DENIED = 16,
  TWCC_FILEEXISTS = 17,
  TWCC_FILENOTFOUND = 18,
  TWCC_NOTEMPTY = 19,
};

// Container types, and the "don't care" values.
enum : TW_UINT16 {
  TWON_ARRAY = 3,
  TWON_ENUMERATION = 4,
  TWON_ONEVALUE = 5,
  TWON_RANGE = 6,
  TWON_DONTCARE8 = 0xFF,
  TWON_DONTCARE16 = 0xFFFF,
};
enum : TW_UINT32 { TWON_DONTCARE32 = 0xFFFFFFFF };

// Item types.
enum : TW_UINT16 {
  TWTY_INT8 = 0x0000,
  TWTY_INT16 = 0x0001,
  TWTY_INT32 = 0x0002,
  TWTY_UINT8 = 0x0003,
  TWTY_UINT16 = 0x0004,
  TWTY_UINT32 = 0x0005,
  TWTY_BOOL = 0x0006,
  TWTY_FIX32 = 0x0007,
  TWTY_FRAME = 0x0008,
  TWTY_STR32 = 0x0009,
  TWTY_STR64 = 0x000A,
  TWTY_STR128 = 0x000B,
  TWTY_STR255 = 0x000C,
  TWTY_STR1024 = 0x000D,
  TWTY_UNI512 = 0x000E,
};

// Capabilities.
enum : TW_UINT16 {
  CAP_XFERCOUNT = 0x0001,
  ICAP_COMPRESSION = 0x0100,
  ICAP_PIXELTYPE = 0x0101,
  ICAP_UNITS = 0x0102,
  ICAP_XFERMECH = 0x0103,
  CAP_SUPPORTEDCAPS = 0x1005,
  CAP_INDICATORS = 0x100B,
  CAP_UICONTROLLABLE = 0x100E,
  ICAP_IMAGEFILEFORMAT = 0x110C,
  ICAP_XRESOLUTION = 0x1118,
  ICAP_YRESOLUTION = 0x1119,
  ICAP_PIXELFLAVOR = 0x111F,
  ICAP_BITDEPTH = 0x112B,
};

// Compression (ICAP_COMPRESSION).
enum : TW_UINT16 { TWCP_NONE = 0 };

// Pixel types (ICAP_PIXELTYPE).
enum : TW_UINT16 {
  TWPT_BW = 0,
  TWPT_GRAY = 1,
  TWPT_RGB = 2,
  TWPT_PALETTE = 3,
  TWPT_CMY = 4,
  TWPT_CMYK = 5,
  TWPT_YUV = 6,
  TWPT_YUVK = 7,
  TWPT_CIEXYZ = 8,
};

// Pixel flavour (ICAP_PIXELFLAVOR): chocolate is zero for black.
enum : TW_UINT16 { TWPF_CHOCOLATE = 0, TWPF_VANILLA = 1 };

// Units (ICAP_UNITS).
enum : TW_UINT16 {
  TWUN_INCHES = 0,
  TWUN_CENTIMETERS = 1,
  TWUN_PICAS = 2,
  TWUN_POINTS = 3,
  TWUN_TWIPS = 4,
  TWUN_PIXELS = 5,
};

// Transfer mechanisms (ICAP_XFERMECH).
enum : TW_UINT16 { TWSX_NATIVE = 0, TWSX_FILE = 1, TWSX_MEMORY = 2 };

// File formats (ICAP_IMAGEFILEFORMAT, DAT_SETUPFILEXFER).
enum : TW_UINT16 {
  TWFF_TIFF = 0,
  TWFF_PICT = 1,
  TWFF_BMP = 2,
  TWFF_XBM = 3,
  TWFF_JFIF = 4,
  TWFF_FPX = 5,
  TWFF_TIFFMULTI = 6,
  TWFF_PNG = 7,
  TWFF_SPIFF = 8,
  TWFF_EXIF = 9,
};

// Palette types (DAT_PALETTE8).
enum : TW_UINT16 { TWPA_RGB = 0, TWPA_GRAY = 1, TWPA_CMY = 2 };

// Memory flags (TW_MEMORY.Flags).
enum : TW_UINT32 {
  TWMF_APPOWNS = 0x0001,
  TWMF_DSMOWNS = 0x0002,
  TWMF_DSOWNS = 0x0004,
  TWMF_POINTER = 0x0008,
  TWMF_HANDLE = 0x0010,
};

// Languages (TW_VERSION.Language): the first fourteen codes; the rest follow
// in the standard's order up to 113 (Vietnamese).
enum : TW_INT16 {
  TWLG_USERLOCALE = -1,
  TWLG_DAN = 0,
  TWLG_DUT = 1,
  TWLG_ENG = 2,
  TWLG_FCF = 3,
  TWLG_FIN = 4,
  TWLG_FRN = 5,
  TWLG_GER = 6,
  TWLG_ICE = 7,
  TWLG_ITN = 8,
  TWLG_NOR = 9,
  TWLG_POR = 10,
  TWLG_SPA = 11,
  TWLG_SWE = 12,
  TWLG_USA = 13,
  TWLG_CHINESE_PRC = 39,
  TWLG_CHINESE_SIMPLIFIED = 41,
  TWLG_VIETNAMESE = 113,
};

// Countries (TW_VERSION.Country).
enum : TW_UINT16 { TWCY_USA = 1, TWCY_CHINA = 86 };

inline constexpr TW_BOOL TW_TRUE = 1;
inline constexpr TW_BOOL TW_FALSE = 0;
