// The TWAIN acquisition component: TTwainLink loads the source manager
// library, opens the manager on a hidden window of its own and lists the data
// sources; each TTwainSource opens its driver, switches it on and fetches its
// images in native, memory or file transfer; every call carries the
// application's TTwainIdentity. The drivers reach the component only through
// messages posted to the hidden window, so transfers and their events run
// inside that window's message handling, on the user-interface thread.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/dib_section.h"
#include "platform/globalmem.h"
#include "platform/vcl/classes.h"
#include "platform/vcl/events.h"
#include "platform/vcl/graphics.h"
#include "twain/twain.h"
#include "twain/twain_link_utils.h"

enum TTwainTransferMode { ttmFile, ttmNative, ttmMemory };

enum TTwainGroup { tgControl, tgImage, tgAudio };
typedef vcl::EnumSet<TTwainGroup> TTwainGroups;

// Ordinals 0..9 are the file-format codes TWFF_TIFF .. TWFF_EXIF.
enum TTwainFormat { tfTIFF, tfPict, tfBMP, tfXBM, tfJPEG, tfFPX, tfTIFFMulti, tfPNG, tfSPIFF, tfEXIF, tfUnknown };

// Ordinal n stands for the TWAIN language code n - 1 (ordinal 0 for the
// user's locale, -1), in the standard's order; names as they always were.
enum TTwainLanguage {
  tlUserLocale, tlDanish, tlDutch, tlInternationalEnglish, tlFrenchCanadian, tlFinnish, tlFrench, tlGerman,
  tlIcelandic, tlItalian, tlNorwegian, tlPortuguese, tlSpanish, tlSwedish, tlUsEnglish, tlAfrikaans,
  tlAlbania, tlArabic, tlArabicAlgeria, tlArabicBahrain, tlArabicEgypt, tlArabicIraq, tlArabJordan, tlArabicKuwait,
  tlArabicLebanon, tlArabicLibya, tlArabicMorocco, tlArabicOman, tlArabicQatar, tlArabicSaudiarabia, tlArabicSyria,
  tlArabicTunisia, tlArabicUae, tlArabicYemen, tlBasque, tlByelorussian, tlBulgarian, tlCatalan, tlChinese,
  tlChineseHongkong, tlChinesePeoplesRepublic, tlChineseSingapore, tlChineseSimplified, tlChineseTwain,
  tlChineseTraditional, tlCroatia, tlCzech, tlDutchBelgian, tlEnglishAustralian, tlEnglishCanadian, tlEnglishIreland,
  tlEnglishNewZealand, tlEnglishSouthAfrica, tlEnglishUk, tlEstonian, tlFaeroese, tlFarsi, tlFrenchBelgian,
  tlFrenchLuxembourg, tlFrenchSwiss, tlGermanAustrian, tlGermanLuxembourg, tlGermanLiechtenstein, tlGermanSwiss,
  tlGreek, tlHebrew, tlHungarian, tlIndonesian, tlItalianSwiss, tlJapanese, tlKorean, tlKoreanJohab, tlLatvian,
  tlLithuanian, tlNorewgianBokmal, tlNorwegianNynorsk, tlPolish, tlPortugueseBrazil, tlRomanian, tlRussian,
  tlSerbianLatin, tlSlovak, tlSlovenian, tlSpanishMexican, tlSpanishModern, tlThai, tlTurkish, tlUkranian,
  tlAssamese, tlBengali, tlBihari, tlBodo, tlDogri, tlGujarati, tlHarayanvi, tlHindi, tlKannada, tlKashmiri,
  tlMalayalam, tlMarathi, tlMarwari, tlMeghalayan, tlMizo, tlNaga, tlOrissi, tlPunjabi, tlPushtu, tlSerbianCyrillic,
  tlSikkimi, tlSwidishFinland, tlTamil, tlTelugu, tlTripuri, tlUrdu, tlVietnamese,
};

// The result of every capability operation.
enum CapabilityResult {
  CapOk,
  CapNotSupported,    // TWCC_CAPUNSUPPORTED
  CapBadOperation,    // TWCC_CAPBADOPERATION, a condition not listed here, a malformed answer
  CapSequenceError,   // TWCC_CAPSEQERROR
  CapLowMemory,       // TWCC_LOWMEMORY, or memory short here
  CapWrongState,      // TWCC_SEQERROR, or the source is not open (nothing is sent)
  CapWrongContainer,  // an enumeration was asked for and another container came
};

// The kind of capability read: MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET.
enum CapabilityQuery { CapQueryAll, CapQueryCurrent, CapQueryDefault, CapQueryReset };

// Units (ICAP_UNITS) and pixel flavours (ICAP_PIXELFLAVOR) as the component
// tells them; values a driver has beyond the standard's are the last one.
enum TTwainUnit { tuInches, tuCentimeters, tuPicas, tuPoints, tuTwips, tuPixels, tuOther };
typedef vcl::EnumSet<TTwainUnit> TTwainUnits;
enum TTwainPixelFlavor { tpfChocolate, tpfVanilla, tpfOther };
typedef vcl::EnumSet<TTwainPixelFlavor> TTwainPixelFlavors;

// Bytes of one item of type TWTY_INT8 .. TWTY_UNI512; 0 for any other type.
int TwainItemSize(TW_UINT16 itemType);
// Colour-table entries of a packed DIB's header (info or 12-byte core).
int DibColorCount(const BITMAPINFOHEADER* header);
// TWFF_ codes 0..9 to the format of the same ordinal, anything else tfUnknown.
TTwainFormat TwainFormatFromCode(TW_UINT16 format);

class TTwainLink;
class TTwainSource;

typedef std::function<void(TObject* Sender, const int Index)> TOnSourceNotify;
// Image lives only during the call: the component frees it afterwards.
typedef std::function<void(TObject* Sender, const int Index, TBitmap* Image, bool& Cancel)> TOnTwainAcquire;
// Filename is a copy of the 256-byte name, always ending in a zero.
typedef std::function<void(TObject* Sender, const int Index, const TW_STR255& Filename, TTwainFormat Format,
                           bool& Cancel)>
    TOnSourceFileTransfer;
typedef std::function<void(TObject* Sender, const int Index, int ErrorCode, int Additional)> TOnTwainError;
// Image is the bitmap being filled, Current the rows done (1 .. Total), Total
// the image's rows.
typedef std::function<void(TObject* Sender, const int Index, const gdi::DibSection* Image, const int Current,
                           const int Total)>
    TOnAcquireProgress;

// One TW_IDENTITY record (the whole state) behind nine properties.
class TTwainIdentity : public TPersistent {
 public:
  // A zeroed record with the application's defaults.
  explicit TTwainIdentity(TComponent* owner);

  // From another identity (or source): the 156-byte record, nothing else.
  // Anything else cannot be assigned (EConvertError).
  void Assign(TPersistent* source) override;
  // The component that owns the identity.
  virtual TComponent* GetOwner() const { return owner_; }

  TW_IDENTITY* Record() { return &record_; }
  const TW_IDENTITY* Record() const { return &record_; }

  WORD GetMajorVersion() const { return record_.Version.MajorNum; }
  void SetMajorVersion(WORD v) { record_.Version.MajorNum = v; }
  WORD GetMinorVersion() const { return record_.Version.MinorNum; }
  void SetMinorVersion(WORD v) { record_.Version.MinorNum = v; }
  // Ordinal 0 and 1 both store code 0, so a fresh identity reads tlDanish; a
  // code no ordinal stands for (a source's -1, or beyond the list) reads
  // tlUserLocale.
  TTwainLanguage GetLanguage() const;
  void SetLanguage(TTwainLanguage v);
  WORD GetCountryCode() const { return record_.Version.Country; }
  void SetCountryCode(WORD v) { record_.Version.Country = v; }
  // tgControl always.
  TTwainGroups GetGroups() const;
  void SetGroups(const TTwainGroups& v);
  // Strings 0..3: VersionInfo, Manufacturer, ProductFamily, ProductName.
  // Written zero-filled and cut to 32 bytes (never inside a GBK character),
  // so the field always ends in a zero; read up to the first zero.
  AnsiString GetString(int index) const;
  void SetString(int index, const AnsiString& v);
  AnsiString GetVersionInfo() const { return GetString(0); }
  void SetVersionInfo(const AnsiString& v) { SetString(0, v); }
  AnsiString GetManufacturer() const { return GetString(1); }
  void SetManufacturer(const AnsiString& v) { SetString(1, v); }
  AnsiString GetProductFamily() const { return GetString(2); }
  void SetProductFamily(const AnsiString& v) { SetString(2, v); }
  AnsiString GetProductName() const { return GetString(3); }
  void SetProductName(const AnsiString& v) { SetString(3, v); }

  VCL_PROPERTY(TTwainIdentity, WORD, MajorVersion);
  VCL_PROPERTY(TTwainIdentity, WORD, MinorVersion);
  VCL_PROPERTY(TTwainIdentity, TTwainLanguage, Language);
  VCL_PROPERTY(TTwainIdentity, WORD, CountryCode);
  VCL_PROPERTY(TTwainIdentity, TTwainGroups, Groups);
  VCL_PROPERTY(TTwainIdentity, AnsiString, VersionInfo);
  VCL_PROPERTY(TTwainIdentity, AnsiString, Manufacturer);
  VCL_PROPERTY(TTwainIdentity, AnsiString, ProductFamily);
  VCL_PROPERTY(TTwainIdentity, AnsiString, ProductName);

 private:
  char* Field(int index);
  const char* Field(int index) const { return const_cast<TTwainIdentity*>(this)->Field(index); }

  TComponent* owner_;
  TW_IDENTITY record_;
};

// One data source as the manager lists it; its identity record is the
// destination of its calls. The component owns it.
class TTwainSource : public TTwainIdentity {
 public:
  explicit TTwainSource(TTwainLink* owner);
  // Switches off and closes first.
  ~TTwainSource() override;

  int Index = 0;  // position in the component's list
  TTwainTransferMode TransferMode = ttmNative;
  bool ShowUI = true;   // the driver shows its own dialog when switched on
  bool ModalUI = true;  // that dialog is modal

  TTwainLink* GetOwnerLink() const { return owner_; }

  bool GetLoaded() const { return loaded_; }
  // True opens, False closes; nothing when already so.
  void SetLoaded(bool value);
  bool GetSwitchedOn() const { return switchedOn_; }
  // Only while open; True switches on with ShowUI and ModalUI.
  void SetSwitchedOn(bool value);
  VCL_PROPERTY(TTwainSource, bool, Loaded);
  VCL_PROPERTY(TTwainSource, bool, SwitchedOn);

  bool OpenSource();
  // Switches off first; the source counts as closed even when the driver
  // refuses (but stays counted open by the component then).
  bool CloseSource();
  // A refused request leaves the source off.
  bool SwitchOn(bool showUI, bool modalUI);
  // A driver answer below TWRC_CANCEL counts as done (OnSourceDisable);
  // TWRC_CANCEL and above leave the source on.
  bool SwitchOff();
  // The driver's condition code; 0 when closed or when it cannot tell.
  TW_UINT16 GetConditionCode();

  // The caller frees *container (GlobalFree).
  CapabilityResult GetCapability(TW_UINT16 cap, CapabilityQuery query, HGLOBAL* container, TW_UINT16* containerType);
  CapabilityResult SetCapability(TW_UINT16 cap, TW_UINT16 containerType, HGLOBAL container);
  CapabilityResult SetOneValue(TW_UINT16 cap, TW_UINT16 itemType, const void* value);
  // The items as texts (ItemToString); Current and Default are the
  // enumeration's indexes as the driver gave them.
  CapabilityResult GetEnumeration(TW_UINT16 cap, CapabilityQuery query, TW_UINT16* itemType, int* current,
                                  int* defaultIndex, std::vector<AnsiString>* list);
  // One item of the type at `item` (TwainItemSize bytes) as text.
  AnsiString ItemToString(TW_UINT16 itemType, const void* item) const;
  // Every value the enumeration holds goes into *supported; *value is the
  // one at its default (CapQueryDefault) or current index.
  CapabilityResult GetUnits(TTwainUnit* value, TTwainUnits* supported, CapabilityQuery query);
  CapabilityResult GetPixelFlavor(TTwainPixelFlavor* value, TTwainPixelFlavors* supported, CapabilityQuery query);
  CapabilityResult SetXResolution(double value);
  CapabilityResult SetYResolution(double value);

  // A message of the hidden window: true when it was the driver's (and then
  // handled: a transfer batch, or a close request).
  bool ProcessMessage(MSG& msg);
  // One batch: every pending image fetched and delivered, then switched off.
  void TransferImages();
  // The native block is freed here, delivered or not.
  void DeliverNativeImage(HGLOBAL image, bool& cancel);
  TW_UINT16 PrepareMemoryBitmap(std::unique_ptr<gdi::DibSection>* bitmap, TW_UINT16* pixelType);
  // Unless the transfer ends with TWRC_XFERDONE the bitmap is deleted.
  TW_UINT16 ReadMemoryStrips(std::unique_ptr<gdi::DibSection>& bitmap, TW_UINT16 pixelType);
  void DeliverMemoryImage(std::unique_ptr<gdi::DibSection> bitmap, bool& cancel);
  void DeliverFile(const TW_STR255& fileName, TW_UINT16 format, bool& cancel);

 private:
  TW_UINT16 Call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  TW_UINT16 CallManager(TW_UINT16 msg);  // open and close go to the manager
  CapabilityResult ResultOf(TW_UINT16 rc);
  template <class E>
  CapabilityResult GetMapped(TW_UINT16 cap, int other, E* value, vcl::EnumSet<E>* supported, CapabilityQuery query);
  TW_UINT16 FetchImage(HGLOBAL* native, TW_SETUPFILEXFER* file, std::unique_ptr<gdi::DibSection>* memory);
  void Deliver(HGLOBAL native, const TW_SETUPFILEXFER& file, std::unique_ptr<gdi::DibSection> memory, bool& cancel);
  void AcquireBitmap(const gdi::Bitmap& picture, bool& cancel);

  TTwainLink* owner_;
  bool switchedOn_ = false;
  bool loaded_ = false;
};

// The component. Library: not loaded -> loaded -> not loaded; manager: open
// only while the library is loaded; the source list is filled on the first
// GetSourceCount after the manager opened and emptied when it closes.
class TTwainLink : public TComponent {
 public:
  explicit TTwainLink(TComponent* AOwner);
  // Closes the sources, the manager and the library.
  ~TTwainLink() override;

  TOnSourceNotify OnSourceDisable;
  TOnSourceNotify OnAcquireCancel;
  TOnTwainAcquire OnTwainAcquire;
  TOnSourceNotify OnSourceSetupFileXfer;
  TOnSourceFileTransfer OnSourceFileTransfer;
  TOnTwainError OnAcquireError;
  TOnAcquireProgress OnAcquireProgress;
  // What every listed source starts with.
  TTwainTransferMode TransferMode = ttmMemory;

  // Lists the sources on first use after the manager opened; 0 while the
  // library or the manager is not loaded. Writing it changes nothing (form
  // resources store it).
  int GetSourceCount() const;
  void SetSourceCount(int value) { sourceCountStore_ = value; }
  TTwainIdentity* GetInfo() const { return info_.get(); }
  void SetInfo(TTwainIdentity* value) { info_->Assign(value); }
  bool GetLibraryLoaded() const { return libraryLoaded_; }
  void SetLibraryLoaded(bool value);
  bool GetSourceManagerLoaded() const { return sourceManagerLoaded_; }
  // Nothing while the library is not loaded.
  void SetSourceManagerLoaded(bool value);

  VCL_PROPERTY(TTwainLink, int, SourceCount);
  VCL_PROPERTY(TTwainLink, TTwainIdentity*, Info);
  VCL_PROPERTY(TTwainLink, bool, LibraryLoaded);
  VCL_PROPERTY(TTwainLink, bool, SourceManagerLoaded);

  // True when the library is loaded afterwards.
  bool OpenTwainLibrary();
  // True when it is unloaded afterwards. While an event of the component
  // runs, the library, the manager and the source list stay as they are
  // (closing and listing are refused): the source raising it must outlive it.
  bool CloseTwainLibrary();
  // True when the manager is in the state asked for afterwards.
  bool OpenSourceManager();
  bool CloseSourceManager();
  bool EnumerateSources();
  // Index 0..Count-1 (at most 255), or -1 for the manager's default source;
  // nil otherwise and while the manager is closed.
  TTwainSource* GetSource(int Index);
  // -1 when the default source is not listed; 0 when the manager cannot
  // name one.
  int GetDefaultSourceIndex();
  // The first source whose 156-byte record equals `identity`, else -1.
  int FindSource(const TW_IDENTITY& identity) const;
  // Frees every source (each switches off and closes itself first).
  void ClearSources();

  // The origin of every call: the record of Info.
  TW_IDENTITY* AppIdentity() const { return info_->Record(); }
  // The window the manager and the switched-on sources post to.
  HWND GetVirtualWindow() const { return virtualWindow_; }
  // Sources opened minus sources closed.
  int GetOpenSourceCount() const { return openSourceCount_; }
  HMODULE GetLibraryHandle() const { return libraryHandle_; }
  bool GetSourcesEnumerated() const { return sourcesEnumerated_; }
  // The manager's entry point, or TWRC_FAILURE without one.
  TW_UINT16 Entry(pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

 private:
  friend class TTwainSource;
  // Held while events run.
  class Busy {
   public:
    explicit Busy(TTwainLink* link) : link_(link) { ++link_->busy_; }
    ~Busy() { --link_->busy_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    TTwainLink* link_;
  };
  // A handler may replace itself while it runs: the call goes to a copy.
  template <class F, class... A>
  void Raise(const F& handler, A&&... args) {
    if (!handler) return;
    const F call = handler;
    Busy busy(this);
    vcl::Fire(call, std::forward<A>(args)...);
  }

  void CreateVirtualWindow();
  LRESULT VirtualWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  TTwainSource* NewSource();

  int openSourceCount_ = 0;
  int sourceCountStore_ = 0;
  TPointerList sources_;
  std::unique_ptr<TTwainIdentity> info_;
  HWND virtualWindow_ = 0;
  HMODULE libraryHandle_ = nullptr;
  bool sourcesEnumerated_ = false;
  DSMENTRYPROC dsmEntry_ = nullptr;
  bool libraryLoaded_ = false;
  bool sourceManagerLoaded_ = false;
  int busy_ = 0;
};
