// Basic value types and constants of the Windows API, as the system's own
// code names them. Values are those of the public Win32 documentation.
#pragma once
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef intptr_t LONG_PTR;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef const char* LPCTSTR;
typedef char* LPTSTR;
typedef char TCHAR;
typedef void* LPVOID;
typedef void* HANDLE;

// A window handle is the X window id of the window (0 = none).
typedef unsigned long HWND;

// A device context handle is the layer's device context (platform/gdi/dc.h),
// whoever made it: a form's canvas, GetDC(0) or the class library's CDC.
namespace gdi {
class DC;
}
typedef gdi::DC* HDC;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
typedef RECT* LPRECT;
// 16.16 fixed-point numbers as glyph outlines use them.
struct FIXED {
  WORD fract;
  int16_t value;
};
struct POINTFX {
  FIXED x;
  FIXED y;
};
typedef const RECT* LPCRECT;
typedef POINT* LPPOINT;

inline constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

inline constexpr WORD LOWORD(uintptr_t v) { return WORD(v & 0xFFFF); }
inline constexpr WORD HIWORD(uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
inline constexpr LONG MAKELONG(WORD lo, WORD hi) { return LONG(DWORD(lo) | (DWORD(hi) << 16)); }
inline constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(MAKELONG(lo, hi)); }
inline constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(DWORD(MAKELONG(lo, hi))); }
// The signed coordinates that mouse messages pack into lParam.
inline constexpr int GET_X_LPARAM(LPARAM l) { return int(int16_t(LOWORD(uintptr_t(l)))); }
inline constexpr int GET_Y_LPARAM(LPARAM l) { return int(int16_t(HIWORD(uintptr_t(l)))); }

// Window messages the system sends, posts or handles.
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,
  WM_SHOWWINDOW = 0x0018,
  WM_SETCURSOR = 0x0020,
  WM_DRAWITEM = 0x002B,
  WM_SETFONT = 0x0030,
  WM_GETFONT = 0x0031,
  WM_CONTEXTMENU = 0x007B,
  WM_NCHITTEST = 0x0084,
  WM_NCMOUSEMOVE = 0x00A0,
  WM_NCLBUTTONDOWN = 0x00A1,
  WM_NCLBUTTONUP = 0x00A2,
  WM_NCLBUTTONDBLCLK = 0x00A3,
  WM_NCRBUTTONDOWN = 0x00A4,
  WM_NCRBUTTONUP = 0x00A5,
  WM_NCRBUTTONDBLCLK = 0x00A6,
  WM_NCMBUTTONDOWN = 0x00A7,
  WM_NCMBUTTONUP = 0x00A8,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_COMMAND = 0x0111,
  WM_TIMER = 0x0113,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_CAPTURECHANGED = 0x0215,
  WM_USER = 0x0400,
  WM_APP = 0x8000,
};

// Message-box results and styles.
enum : UINT {
  MB_OK = 0x0000,
  MB_OKCANCEL = 0x0001,
  MB_YESNOCANCEL = 0x0003,
  MB_YESNO = 0x0004,
  MB_ICONHAND = 0x0010,
  MB_ICONSTOP = 0x0010,
  MB_ICONERROR = 0x0010,
  MB_ICONQUESTION = 0x0020,
  MB_ICONEXCLAMATION = 0x0030,
  MB_ICONWARNING = 0x0030,
  MB_ICONINFORMATION = 0x0040,
  MB_ICONASTERISK = 0x0040,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// Drive types (GetDriveType).
enum : UINT { DRIVE_UNKNOWN = 0, DRIVE_NO_ROOT_DIR = 1, DRIVE_FIXED = 3 };

// ---- GDI: drawing objects, regions, text, device-independent bitmaps ----

enum : int {  // pen styles
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
};
enum : int { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1 };  // brush styles
enum : int { TRANSPARENT = 1, OPAQUE = 2 };               // background modes
enum : int { ALTERNATE = 1, WINDING = 2 };                // polygon fill modes
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : int { ERROR = 0, RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum : DWORD { SRCCOPY = 0x00CC0020 };
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

enum : UINT {  // text alignment
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
};
enum : UINT {  // DrawText formats
  DT_TOP = 0x0000,
  DT_LEFT = 0x0000,
  DT_CENTER = 0x0001,
  DT_RIGHT = 0x0002,
  DT_VCENTER = 0x0004,
  DT_BOTTOM = 0x0008,
  DT_WORDBREAK = 0x0010,
  DT_SINGLELINE = 0x0020,
  DT_EXPANDTABS = 0x0040,
  DT_NOCLIP = 0x0100,
  DT_CALCRECT = 0x0400,
  DT_NOPREFIX = 0x0800,
};
enum : int {  // font weights
  FW_DONTCARE = 0,
  FW_THIN = 100,
  FW_LIGHT = 300,
  FW_NORMAL = 400,
  FW_MEDIUM = 500,
  FW_SEMIBOLD = 600,
  FW_BOLD = 700,
  FW_HEAVY = 900,
};
enum : BYTE {  // character sets
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  SYMBOL_CHARSET = 2,
  GB2312_CHARSET = 134,
  CHINESEBIG5_CHARSET = 136,
};
inline constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  char lfFaceName[LF_FACESIZE];
};
typedef LOGFONTA LOGFONT;

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
typedef TEXTMETRICA TEXTMETRIC;

// Device-independent bitmaps, as BMP files and packed DIBs hold them.
enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
enum : UINT { DIB_RGB_COLORS = 0 };

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
struct BITMAPCOREHEADER {
  DWORD bcSize;
  WORD bcWidth;
  WORD bcHeight;
  WORD bcPlanes;
  WORD bcBitCount;
};
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};
struct RGBTRIPLE {
  BYTE rgbtBlue;
  BYTE rgbtGreen;
  BYTE rgbtRed;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
// What GetObject tells of a bitmap.
struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
};
static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(BITMAPINFOHEADER) == 40 && sizeof(BITMAPCOREHEADER) == 12,
              "BMP headers are byte layouts");

// ---- Windows, messages, processes and modules (platform/win) ----

typedef int16_t SHORT;
typedef void* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef void (*FARPROC)(void);
struct HCURSOR__;
typedef HCURSOR__* HCURSOR;

// A name or an ordinal: ordinals are values below 65536 passed as a pointer.
inline LPCSTR MAKEINTRESOURCE(int n) { return reinterpret_cast<LPCSTR>(uintptr_t(WORD(n))); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

// A window message as the message loop sees it (TWAIN's event record points
// at one).
struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;


// GetWindow relations.
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_CHILD = 5 };

// Window styles.
enum : DWORD {
  WS_OVERLAPPED = 0x00000000,
  WS_POPUP = 0x80000000,
  WS_CHILD = 0x40000000,
  WS_VISIBLE = 0x10000000,
  WS_DISABLED = 0x08000000,
};

// Hit-test answers (WM_NCHITTEST).
enum : LRESULT { HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2 };
// Mouse message key flags (wParam of WM_MOUSEMOVE, WM_LBUTTONDOWN ...).
enum : WPARAM { MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008, MK_MBUTTON = 0x0010 };

struct HMENU__;
typedef HMENU__* HMENU;

// What WM_CREATE's lParam points to.
struct CREATESTRUCT {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
typedef CREATESTRUCT* LPCREATESTRUCT;

// Buttons: styles (the low four bits are the kind), notifications to the
// parent (WM_COMMAND, HIWORD of wParam) and owner drawing.
enum : DWORD { BS_PUSHBUTTON = 0x0000, BS_OWNERDRAW = 0x000B, BS_TYPEMASK = 0x000F };
enum : WORD { BN_CLICKED = 0, BN_DOUBLECLICKED = 5 };
enum : UINT { ODT_BUTTON = 4 };
enum : UINT { ODA_DRAWENTIRE = 0x0001, ODA_SELECT = 0x0002, ODA_FOCUS = 0x0004 };
enum : UINT { ODS_SELECTED = 0x0001, ODS_DISABLED = 0x0004, ODS_FOCUS = 0x0010 };
struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  UINT_PTR itemData;
};
typedef DRAWITEMSTRUCT* LPDRAWITEMSTRUCT;

// What BeginPaint hands out.
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

// Menus (AppendMenu flags, TrackPopupMenu flags).
enum : UINT {
  MF_STRING = 0x0000,
  MF_ENABLED = 0x0000,
  MF_UNCHECKED = 0x0000,
  MF_GRAYED = 0x0001,
  MF_DISABLED = 0x0002,
  MF_CHECKED = 0x0008,
  MF_POPUP = 0x0010,
  MF_SEPARATOR = 0x0800,
};
enum : UINT { TPM_LEFTALIGN = 0x0000, TPM_RIGHTBUTTON = 0x0002, TPM_RETURNCMD = 0x0100 };

// System colours (GetSysColor) and metrics (GetSystemMetrics).
enum : int {
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_BTNTEXT = 18,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
};
enum : int { SM_CXBORDER = 5, SM_CYBORDER = 6 };
// Stock objects (GetStockObject).
enum : int { DEFAULT_GUI_FONT = 17 };

// GetWindowLong / SetWindowLong.
enum : int { GWL_EXSTYLE = -20 };
enum : DWORD { WS_EX_TOOLWINDOW = 0x00000080 };

// SetWindowPos insert-after values and flags.
inline constexpr HWND HWND_TOP = HWND(0);
inline constexpr HWND HWND_BOTTOM = HWND(1);
inline constexpr HWND HWND_TOPMOST = HWND(-1);
inline constexpr HWND HWND_NOTOPMOST = HWND(-2);
enum : UINT {
  SWP_NOSIZE = 0x0001,
  SWP_NOMOVE = 0x0002,
  SWP_NOZORDER = 0x0004,
  SWP_NOACTIVATE = 0x0010,
  SWP_SHOWWINDOW = 0x0040,
  SWP_HIDEWINDOW = 0x0080,
};

// ShowWindow and WinExec show commands.
enum : int {
  SW_HIDE = 0,
  SW_SHOWNORMAL = 1,
  SW_NORMAL = 1,
  SW_SHOWMINIMIZED = 2,
  SW_SHOWMAXIMIZED = 3,
  SW_SHOW = 5,
  SW_MINIMIZE = 6,
  SW_RESTORE = 9,
};

// Virtual keys read by GetKeyState / GetAsyncKeyState.
enum : int {
  VK_LBUTTON = 0x01,
  VK_RBUTTON = 0x02,
  VK_MBUTTON = 0x04,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_CAPITAL = 0x14,
};

// Device capabilities and display settings.
enum : int { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12 };
enum : DWORD { DM_BITSPERPEL = 0x00040000, DM_PELSWIDTH = 0x00080000, DM_PELSHEIGHT = 0x00100000 };
enum : LONG { DISP_CHANGE_SUCCESSFUL = 0, DISP_CHANGE_FAILED = -1, DISP_CHANGE_BADMODE = -2 };
enum : UINT { SPI_SETSCREENSAVERRUNNING = 97 };

// Error codes of WinExec / ShellExecute (values at or below 32 mean failure).
enum : UINT {
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_BAD_FORMAT = 11,
  SE_ERR_NOASSOC = 31,
};
// Open and save dialog options (CFileDialog).
enum : DWORD {
  OFN_READONLY = 0x00000001,
  OFN_OVERWRITEPROMPT = 0x00000002,
  OFN_HIDEREADONLY = 0x00000004,
  OFN_PATHMUSTEXIST = 0x00000800,
  OFN_FILEMUSTEXIST = 0x00001000,
};

// Waits without time limit; longest path a file name may have.
enum : DWORD { INFINITE = 0xFFFFFFFF };
enum : int { MAX_PATH = 260 };
