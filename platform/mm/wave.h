// Wave input and output (waveIn*/waveOut*) on ALSA.
//
// There is one device in each direction, device 0: the ALSA PCM named by
// $MERRO_WAVE_DEVICE, or "default". A machine whose device does not open has
// no device (the device count is 0), so a missing sound card is reportable.
// Only PCM formats (8, 16, 24 or 32 bits) are taken; they reach ALSA as they
// are, without conversion by this layer.
//
// Blocks (WAVEHDR) are queued and handled by a worker thread per open device,
// which sets WHDR_DONE (and clears WHDR_INQUEUE) when a block is finished:
// for output once its bytes are with the device and, when nothing follows it,
// the device has played them out; for input once it is full. The flags are
// written by that thread, so pollers read them with WaveHeaderFlags. The
// worker then tells the callback chosen at open: CALLBACK_EVENT signals the
// event (also at open and close), CALLBACK_FUNCTION calls the function on the
// worker thread (at open and close on the caller's), CALLBACK_WINDOW posts
// MM_WOM_ / MM_WIM_ messages to the window (platform/win's PostMessage, so
// they arrive on the GUI thread). Block bytes beyond the last whole frame are
// not played or recorded.
#pragma once
#include "platform/windef.h"

#include <cstdint>

#ifndef CALLBACK
#define CALLBACK
#endif

typedef UINT MMRESULT;
typedef uintptr_t DWORD_PTR;
typedef struct HWAVEOUT__* HWAVEOUT;
typedef struct HWAVEIN__* HWAVEIN;
typedef HWAVEOUT* LPHWAVEOUT;
typedef HWAVEIN* LPHWAVEIN;

enum : MMRESULT {
  MMSYSERR_NOERROR = 0,
  MMSYSERR_ERROR = 1,
  MMSYSERR_BADDEVICEID = 2,
  MMSYSERR_NOTENABLED = 3,
  MMSYSERR_ALLOCATED = 4,
  MMSYSERR_INVALHANDLE = 5,
  MMSYSERR_NODRIVER = 6,
  MMSYSERR_NOMEM = 7,
  MMSYSERR_NOTSUPPORTED = 8,
  MMSYSERR_INVALFLAG = 10,
  MMSYSERR_INVALPARAM = 11,
  MMSYSERR_HANDLEBUSY = 12,
  WAVERR_BADFORMAT = 32,
  WAVERR_STILLPLAYING = 33,
  WAVERR_UNPREPARED = 34,
};

enum : UINT { WAVE_MAPPER = 0xFFFFFFFF };

// waveOutOpen / waveInOpen flags.
enum : DWORD {
  WAVE_FORMAT_QUERY = 0x0001,
  CALLBACK_TYPEMASK = 0x00070000,
  CALLBACK_NULL = 0x00000000,
  CALLBACK_WINDOW = 0x00010000,
  CALLBACK_FUNCTION = 0x00030000,
  CALLBACK_EVENT = 0x00050000,
};

// Messages to a callback window (wParam = device handle, lParam = header) and
// to a callback function (dwParam1 = header).
enum : UINT {
  MM_WOM_OPEN = 0x3BB,
  MM_WOM_CLOSE = 0x3BC,
  MM_WOM_DONE = 0x3BD,
  MM_WIM_OPEN = 0x3BE,
  MM_WIM_CLOSE = 0x3BF,
  MM_WIM_DATA = 0x3C0,
  WOM_OPEN = MM_WOM_OPEN,
  WOM_CLOSE = MM_WOM_CLOSE,
  WOM_DONE = MM_WOM_DONE,
  WIM_OPEN = MM_WIM_OPEN,
  WIM_CLOSE = MM_WIM_CLOSE,
  WIM_DATA = MM_WIM_DATA,
};

enum : WORD { WAVE_FORMAT_PCM = 1 };

#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
};
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

enum : DWORD {
  WHDR_DONE = 0x00000001,
  WHDR_PREPARED = 0x00000002,
  WHDR_BEGINLOOP = 0x00000004,
  WHDR_ENDLOOP = 0x00000008,
  WHDR_INQUEUE = 0x00000010,
};

struct WAVEHDR {
  LPSTR lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  WAVEHDR* lpNext;
  DWORD_PTR reserved;
};
typedef WAVEHDR* LPWAVEHDR;

// The flags of a header that a device's worker may be writing.
inline DWORD WaveHeaderFlags(const WAVEHDR& h) { return __atomic_load_n(&h.dwFlags, __ATOMIC_ACQUIRE); }

// Standard formats a device takes (dwFormats): rate 11025 (1), 22050 (2),
// 44100 (4) Hz; mono (M) or stereo (S); 8 or 16 bits.
enum : DWORD {
  WAVE_FORMAT_1M08 = 0x00000001,
  WAVE_FORMAT_1S08 = 0x00000002,
  WAVE_FORMAT_1M16 = 0x00000004,
  WAVE_FORMAT_1S16 = 0x00000008,
  WAVE_FORMAT_2M08 = 0x00000010,
  WAVE_FORMAT_2S08 = 0x00000020,
  WAVE_FORMAT_2M16 = 0x00000040,
  WAVE_FORMAT_2S16 = 0x00000080,
  WAVE_FORMAT_4M08 = 0x00000100,
  WAVE_FORMAT_4S08 = 0x00000200,
  WAVE_FORMAT_4M16 = 0x00000400,
  WAVE_FORMAT_4S16 = 0x00000800,
};

enum { MAXPNAMELEN = 32 };
typedef UINT MMVERSION;

// szPname is "ALSA <device name>"; vDriverVersion the ALSA library's
// major.minor; dwSupport 0 (no volume, pitch or rate control).
struct WAVEOUTCAPS {
  WORD wMid;
  WORD wPid;
  MMVERSION vDriverVersion;
  char szPname[MAXPNAMELEN];
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
  DWORD dwSupport;
};
struct WAVEINCAPS {
  WORD wMid;
  WORD wPid;
  MMVERSION vDriverVersion;
  char szPname[MAXPNAMELEN];
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
};
typedef WAVEOUTCAPS* LPWAVEOUTCAPS;
typedef WAVEINCAPS* LPWAVEINCAPS;

typedef void(CALLBACK* LPWAVEOUTPROC)(HWAVEOUT h, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
typedef void(CALLBACK* LPWAVEINPROC)(HWAVEIN h, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

// 1 when device 0 opens (or is open here already), else 0. Opening is the
// only honest test, so each call opens and closes the ALSA device.
UINT waveOutGetNumDevs();
// The formats are those ALSA accepts for the device.
MMRESULT waveOutGetDevCaps(UINT_PTR deviceId, LPWAVEOUTCAPS caps, UINT capsSize);
// deviceId 0 or WAVE_MAPPER. With WAVE_FORMAT_QUERY only tests the format
// (out may then be NULL). MMSYSERR_ALLOCATED when the device is busy,
// WAVERR_BADFORMAT for a format that is no PCM the device takes.
MMRESULT waveOutOpen(LPHWAVEOUT out, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags);
MMRESULT waveOutPrepareHeader(HWAVEOUT h, LPWAVEHDR header, UINT headerSize);
// WAVERR_STILLPLAYING while the block is queued.
MMRESULT waveOutUnprepareHeader(HWAVEOUT h, LPWAVEHDR header, UINT headerSize);
// Queues the block and returns. WAVERR_UNPREPARED for a block not prepared,
// WAVERR_STILLPLAYING for one queued already.
MMRESULT waveOutWrite(HWAVEOUT h, LPWAVEHDR header, UINT headerSize);
// Holds playback (queued blocks wait) until waveOutRestart.
MMRESULT waveOutPause(HWAVEOUT h);
MMRESULT waveOutRestart(HWAVEOUT h);
// Stops playback at once and marks every queued block done.
MMRESULT waveOutReset(HWAVEOUT h);
// WAVERR_STILLPLAYING while blocks are queued (the device stays open).
MMRESULT waveOutClose(HWAVEOUT h);

UINT waveInGetNumDevs();
MMRESULT waveInGetDevCaps(UINT_PTR deviceId, LPWAVEINCAPS caps, UINT capsSize);
MMRESULT waveInOpen(LPHWAVEIN in, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance,
                    DWORD flags);
MMRESULT waveInPrepareHeader(HWAVEIN h, LPWAVEHDR header, UINT headerSize);
MMRESULT waveInUnprepareHeader(HWAVEIN h, LPWAVEHDR header, UINT headerSize);
// Queues an empty block to be filled (dwBytesRecorded is set to 0).
MMRESULT waveInAddBuffer(HWAVEIN h, LPWAVEHDR header, UINT headerSize);
MMRESULT waveInStart(HWAVEIN h);
// Stops recording; a block partly filled is marked done with what it holds,
// empty blocks stay queued.
MMRESULT waveInStop(HWAVEIN h);
// Stops recording and marks every queued block done.
MMRESULT waveInReset(HWAVEIN h);
MMRESULT waveInClose(HWAVEIN h);
