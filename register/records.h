// Record layouts of the suite's data files that the register run opens: the
// file numbers, names and opening order, the size of each file's record
// variable, the keys, and typed accessors for every field at its fixed
// offset. The register only reads; the setters serve the tools and tests that
// build installations.
//
//   reg::ReceiptRecord r;                      // 68 zero bytes
//   r.SetTotalAmount(102000);
//   int32_t total = r.TotalAmount();           // little-endian, unaligned
//   std::string_view nif = tenant.TenantNif(); // 17 bytes as stored
//
// Field conventions: text n is n bytes of code page 850, blank-padded on the
// right; packed n is n bytes of packed digits (two decimal digits per byte,
// value + 128); a packed date is packed 4 holding YYYYMMDD; int16 and int32
// are signed little-endian integers stored without alignment. Amounts are
// int32 hundredths, rates int16 hundredths of a percent.
#ifndef ZOV_REGISTER_RECORDS_H_
#define ZOV_REGISTER_RECORDS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "platform/coding.h"

namespace zov::reg {

// ---------------------------------------------------------------------------
// Raw field access over a record's bytes.

// Text field: copied and blank-padded, or cut, to exactly `width` bytes.
inline void StoreText(char* p, std::size_t width, std::string_view text) {
  std::size_t n = text.size() < width ? text.size() : width;
  if (n > 0) std::memcpy(p, text.data(), n);
  std::memset(p + n, ' ', width - n);
}

// Packed field: the packed bytes as given, cut to `width` or padded with the
// packed "00" byte (0x80), so a short value stays a valid packed number.
inline void StorePacked(char* p, std::size_t width, std::string_view packed) {
  std::size_t n = packed.size() < width ? packed.size() : width;
  if (n > 0) std::memcpy(p, packed.data(), n);
  std::memset(p + n, 0x80, width - n);
}

// The bytes of one record variable. Every record variable starts as zero
// bytes and holds the last record read from its file.
template <std::size_t N>
struct RecordVariable {
  static constexpr std::size_t kSize = N;
  std::array<char, N> bytes{};

  std::string_view view() const { return std::string_view(bytes.data(), N); }
  std::span<char> span() { return std::span<char>(bytes.data(), N); }
  // The same bytes as the data-file layer takes a record variable.
  std::span<uint8_t> byte_span() { return std::span<uint8_t>(reinterpret_cast<uint8_t*>(bytes.data()), N); }
  char* data() { return bytes.data(); }
  const char* data() const { return bytes.data(); }
  void Fill(char c) { bytes.fill(c); }
  // Replaces the first bytes with `record` (cut to N); the rest keep theirs.
  void Assign(std::string_view record) {
    std::memcpy(bytes.data(), record.data(), record.size() < N ? record.size() : N);
  }

 protected:
  template <std::size_t Off, std::size_t W>
  std::string_view Field() const {
    static_assert(Off + W <= N, "field outside the record variable");
    return std::string_view(bytes.data() + Off, W);
  }
  template <std::size_t Off>
  int16_t Int16() const {
    static_assert(Off + 2 <= N, "field outside the record variable");
    return static_cast<int16_t>(platform::DecodeFixed16(bytes.data() + Off));
  }
  template <std::size_t Off>
  int32_t Int32() const {
    static_assert(Off + 4 <= N, "field outside the record variable");
    return static_cast<int32_t>(platform::DecodeFixed32(bytes.data() + Off));
  }
  template <std::size_t Off, std::size_t W>
  void SetText(std::string_view text) {
    static_assert(Off + W <= N, "field outside the record variable");
    StoreText(bytes.data() + Off, W, text);
  }
  template <std::size_t Off, std::size_t W>
  void SetPacked(std::string_view packed) {
    static_assert(Off + W <= N, "field outside the record variable");
    StorePacked(bytes.data() + Off, W, packed);
  }
  template <std::size_t Off>
  void SetInt16(int16_t v) {
    static_assert(Off + 2 <= N, "field outside the record variable");
    platform::EncodeFixed16(bytes.data() + Off, static_cast<uint16_t>(v));
  }
  template <std::size_t Off>
  void SetInt32(int32_t v) {
    static_assert(Off + 4 <= N, "field outside the record variable");
    platform::EncodeFixed32(bytes.data() + Off, static_cast<uint32_t>(v));
  }
};

// ---------------------------------------------------------------------------
// Code widths of the property tree: an owner code is the first 2 bytes of a
// group code, a group code the first 4 bytes of a property code.

inline constexpr std::size_t kOwnerCodeSize = 2;
inline constexpr std::size_t kGroupCodeSize = 4;
inline constexpr std::size_t kPropertyCodeSize = 6;
inline constexpr std::size_t kPackedDateSize = 4;
// Keys 1 and 2 of VCobros: property code followed by a packed date.
inline constexpr std::size_t kReceiptKeySize = kPropertyCodeSize + kPackedDateSize;

// ---------------------------------------------------------------------------
// VPropiet: owners (landlords), one record per owner.
struct OwnerRecord : RecordVariable<828> {
  std::string_view OwnerCode() const { return Field<0, 2>(); }
  // Stored as surnames, "*", given names.
  std::string_view OwnerName() const { return Field<2, 40>(); }
  // "S", "N" or other: which run switch lets the owner in.
  std::string_view OwnerFlag() const { return Field<663, 1>(); }
  // Blank when the owner has no address.
  std::string_view OwnerEmail() const { return Field<766, 40>(); }

  void SetOwnerCode(std::string_view packed) { SetPacked<0, 2>(packed); }
  void SetOwnerName(std::string_view text) { SetText<2, 40>(text); }
  void SetOwnerFlag(std::string_view text) { SetText<663, 1>(text); }
  void SetOwnerEmail(std::string_view text) { SetText<766, 40>(text); }
};

// VGrups: groups of properties; a group code begins with its owner's code.
struct GroupRecord : RecordVariable<192> {
  std::string_view GroupCode() const { return Field<0, 4>(); }
  std::string_view GroupName() const { return Field<4, 40>(); }
  std::string_view SectionCode() const { return Field<190, 1>(); }

  void SetGroupCode(std::string_view packed) { SetPacked<0, 4>(packed); }
  void SetGroupName(std::string_view text) { SetText<4, 40>(text); }
  void SetSectionCode(std::string_view text) { SetText<190, 1>(text); }
};

// VDepBase: properties (rented units) with their current tenant.
struct PropertyRecord : RecordVariable<396> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  std::string_view TenantName() const { return Field<23, 40>(); }
  // Two-character country prefix, then the number.
  std::string_view TenantNif() const { return Field<376, 17>(); }

  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
  void SetTenantName(std::string_view text) { SetText<23, 40>(text); }
  void SetTenantNif(std::string_view text) { SetText<376, 17>(text); }
};

// VDepPart: no field is read; only the property code key matters.
struct PartRecord : RecordVariable<168> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
};

// VDepCont: the property's contract.
struct ContractRecord : RecordVariable<44> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  // "V", "P", "L", "C" or other; exact, case-sensitive comparisons.
  std::string_view ContractKind() const { return Field<6, 1>(); }
  std::string_view WithholdingFlag() const { return Field<7, 1>(); }

  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
  void SetContractKind(std::string_view text) { SetText<6, 1>(text); }
  void SetWithholdingFlag(std::string_view text) { SetText<7, 1>(text); }
};

// VDepBanc: no field is read.
struct BankRecord : RecordVariable<180> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
};

// VDepCada: the property's cadastral data.
struct CadastreRecord : RecordVariable<44> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  // Blank means none.
  std::string_view CadastralReference() const { return Field<6, 20>(); }
  std::string_view PostalCode() const { return Field<39, 5>(); }

  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
  void SetCadastralReference(std::string_view text) { SetText<6, 20>(text); }
  void SetPostalCode(std::string_view text) { SetText<39, 5>(text); }
};

// VCobros: receipts, one per invoice.
struct ReceiptRecord : RecordVariable<68> {
  std::string_view PropertyCode() const { return Field<0, 6>(); }
  std::string_view ClassCode() const { return Field<6, 2>(); }
  std::string_view IssueDate() const { return Field<8, 4>(); }
  int32_t TotalAmount() const { return Int32<12>(); }
  int32_t ExcludedAmount() const { return Int32<16>(); }
  std::string_view StatusCode() const { return Field<20, 1>(); }
  std::string_view InvoiceNumber() const { return Field<28, 4>(); }
  int32_t StoredTaxBase() const { return Int32<32>(); }
  int16_t VatRate() const { return Int16<36>(); }
  int32_t VatAmount() const { return Int32<38>(); }
  int32_t PaidAmount() const { return Int32<45>(); }
  // The date of key 2 (after the property code); key 1 carries IssueDate.
  std::string_view PaymentDate() const { return Field<24, 4>(); }
  int16_t WithholdingRate() const { return Int16<57>(); }
  // Stored negative.
  int32_t WithholdingAmount() const { return Int32<59>(); }
  std::string_view TrailingCode() const { return Field<63, 2>(); }

  void SetPropertyCode(std::string_view packed) { SetPacked<0, 6>(packed); }
  void SetClassCode(std::string_view packed) { SetPacked<6, 2>(packed); }
  void SetIssueDate(std::string_view packed) { SetPacked<8, 4>(packed); }
  void SetTotalAmount(int32_t v) { SetInt32<12>(v); }
  void SetExcludedAmount(int32_t v) { SetInt32<16>(v); }
  void SetStatusCode(std::string_view text) { SetText<20, 1>(text); }
  void SetInvoiceNumber(std::string_view packed) { SetPacked<28, 4>(packed); }
  void SetStoredTaxBase(int32_t v) { SetInt32<32>(v); }
  void SetVatRate(int16_t v) { SetInt16<36>(v); }
  void SetVatAmount(int32_t v) { SetInt32<38>(v); }
  void SetPaidAmount(int32_t v) { SetInt32<45>(v); }
  void SetPaymentDate(std::string_view packed) { SetPacked<24, 4>(packed); }
  void SetWithholdingRate(int16_t v) { SetInt16<57>(v); }
  void SetWithholdingAmount(int32_t v) { SetInt32<59>(v); }
  // Raw bytes (any two bytes; the register accepts 0x20 0x80 .. 0xE3 0xE3).
  void SetTrailingCode(std::string_view bytes2) { SetText<63, 2>(bytes2); }
};

// Files opened but never read by the register.
struct ReceiptDetailRecord : RecordVariable<116> {};  // VDesCob
struct ConceptRecord : RecordVariable<112> {};        // VConcept
struct RemittanceRecord : RecordVariable<224> {};     // Remeses

// USeccio: sections; read by key 0 with the group's SectionCode.
struct SectionRecord : RecordVariable<56> {
  std::string_view SectionCode() const { return Field<0, 1>(); }
  void SetSectionCode(std::string_view text) { SetText<0, 1>(text); }
};

// ---------------------------------------------------------------------------
// DADES\VParam.tab: one 318-byte record, no header.

inline constexpr std::size_t kParamRecordSize = 318;
inline constexpr std::string_view kParamFileName = "DADES\\VParam.tab";

struct ParamRecord : RecordVariable<kParamRecordSize> {
  // Fills the record with its defaults (zero bytes, S/N switches, concept
  // codes and texts, ledger accounts; texts blank-padded to their widths).
  void SetDefaults() {
    bytes.fill('\0');
    struct Default {
      std::size_t offset, width;
      std::string_view text;
    };
    static constexpr Default kDefaults[] = {
        {10, 1, "N"},   {11, 3, "VAR"}, {14, 3, "COB"}, {17, 1, "N"},   {18, 1, "S"},
        {19, 3, "HON"}, {22, 3, "SUP"}, {25, 3, "RHO"}, {28, 3, "SSF"}, {31, 3, "SNF"},
        {34, 3, "RIV"}, {37, 3, "IIV"}, {40, 20, "REBUT LLOGUER"}, {60, 20, "ENDARRERIMENTS"},
        {80, 20, ""},   {100, 20, ""},  {120, 20, ""},  {140, 20, ""},  {160, 20, ""},
        {180, 20, ""},  {200, 20, ""},  {220, 20, ""},  {240, 9, "551"}, {249, 9, "552"},
        {258, 9, "705"}, {267, 9, "705"}, {276, 9, "754"}, {285, 9, "759"}, {294, 9, "473"},
        {303, 9, "430"}, {312, 1, "S"},  {315, 3, "RLO"},
    };
    for (const Default& d : kDefaults) StoreText(bytes.data() + d.offset, d.width, d.text);
  }
};

// ---------------------------------------------------------------------------
// The data files, their numbers and keys, in the order the run opens them.

enum FileNumber : int16_t {
  kFileVPropiet = 6,
  kFileVGrups = 7,
  kFileVDepBase = 9,
  kFileVDepPart = 207,
  kFileVDepCont = 173,
  kFileVDepBanc = 34,
  kFileVDepCada = 212,
  kFileVCobros = 17,
  kFileVDesCob = 23,
  kFileVConcept = 3,
  kFileRemeses = 62,
  kFileUSeccio = 78,
};

// VCobros keys chosen by run parameter line 3: key 1 (property code + issue
// date) by default, key 2 (property code + payment date) for "C".
inline constexpr int16_t kReceiptKeyByIssueDate = 1;
inline constexpr int16_t kReceiptKeyByPaymentDate = 2;

// One segment of a key: bytes [offset, offset + length) of the record,
// compared bytewise (packed codes and dates sort in numeric and date order).
struct KeySegment {
  uint16_t offset;
  uint16_t length;
};

struct KeySpec {
  std::array<KeySegment, 3> segments;
  uint8_t segment_count;
  bool duplicates;  // more than one record may carry the same key value
};

struct DataFileSpec {
  int16_t number;
  std::string_view name;         // under DataRoot + "DADES\", no extension
  uint16_t record_size;          // record variable size = record length of files we create
  std::span<const KeySpec> keys; // key 0 first
};

namespace layout_detail {
inline constexpr KeySpec kOwnerKeys[] = {{{{{0, 2}}}, 1, false}};
inline constexpr KeySpec kGroupKeys[] = {{{{{0, 4}}}, 1, false}};
inline constexpr KeySpec kPropertyKeys[] = {{{{{0, 6}}}, 1, false}};
inline constexpr KeySpec kReceiptKeys[] = {
    {{{{0, 6}, {8, 4}, {28, 4}}}, 3, true},  // key 0: not used by the register
    {{{{0, 6}, {8, 4}}}, 2, true},           // key 1: property code + IssueDate
    {{{{0, 6}, {24, 4}}}, 2, true},          // key 2: property code + PaymentDate
};
inline constexpr KeySpec kDetailKeys[] = {{{{{0, 12}}}, 1, true}};
inline constexpr KeySpec kConceptKeys[] = {{{{{0, 3}}}, 1, false}};
inline constexpr KeySpec kRemittanceKeys[] = {{{{{0, 4}}}, 1, true}};
inline constexpr KeySpec kSectionKeys[] = {{{{{0, 1}}}, 1, false}};
}  // namespace layout_detail

inline constexpr std::array<DataFileSpec, 12> kDataFiles = {{
    {kFileVPropiet, "VPropiet", OwnerRecord::kSize, layout_detail::kOwnerKeys},
    {kFileVGrups, "VGrups", GroupRecord::kSize, layout_detail::kGroupKeys},
    {kFileVDepBase, "VDepBase", PropertyRecord::kSize, layout_detail::kPropertyKeys},
    {kFileVDepPart, "VDepPart", PartRecord::kSize, layout_detail::kPropertyKeys},
    {kFileVDepCont, "VDepCont", ContractRecord::kSize, layout_detail::kPropertyKeys},
    {kFileVDepBanc, "VDepBanc", BankRecord::kSize, layout_detail::kPropertyKeys},
    {kFileVDepCada, "VDepCada", CadastreRecord::kSize, layout_detail::kPropertyKeys},
    {kFileVCobros, "VCobros", ReceiptRecord::kSize, layout_detail::kReceiptKeys},
    {kFileVDesCob, "VDesCob", ReceiptDetailRecord::kSize, layout_detail::kDetailKeys},
    {kFileVConcept, "VConcept", ConceptRecord::kSize, layout_detail::kConceptKeys},
    {kFileRemeses, "Remeses", RemittanceRecord::kSize, layout_detail::kRemittanceKeys},
    {kFileUSeccio, "USeccio", SectionRecord::kSize, layout_detail::kSectionKeys},
}};

// The description of a file number, or nullptr.
inline const DataFileSpec* FindDataFileSpec(int16_t number) {
  for (const DataFileSpec& f : kDataFiles)
    if (f.number == number) return &f;
  return nullptr;
}

// One record variable per data file, owned by the run.
struct RecordVariables {
  OwnerRecord owner;              // VPropiet
  GroupRecord group;              // VGrups
  PropertyRecord property;        // VDepBase
  PartRecord part;                // VDepPart
  ContractRecord contract;        // VDepCont
  BankRecord bank;                // VDepBanc
  CadastreRecord cadastre;        // VDepCada
  ReceiptRecord receipt;          // VCobros
  ReceiptDetailRecord detail;     // VDesCob
  ConceptRecord concept_record; // VConcept
  RemittanceRecord remittance;    // Remeses
  SectionRecord section;          // USeccio
  ParamRecord param;              // DADES\VParam.tab

  // The bytes of a data file's record variable by file number (empty for a
  // number that is not one of the twelve).
  std::span<uint8_t> BytesForFile(int16_t number) {
    std::span<char> s = ForFile(number);
    return std::span<uint8_t>(reinterpret_cast<uint8_t*>(s.data()), s.size());
  }
  std::span<char> ForFile(int16_t number) {
    switch (number) {
      case kFileVPropiet: return owner.span();
      case kFileVGrups: return group.span();
      case kFileVDepBase: return property.span();
      case kFileVDepPart: return part.span();
      case kFileVDepCont: return contract.span();
      case kFileVDepBanc: return bank.span();
      case kFileVDepCada: return cadastre.span();
      case kFileVCobros: return receipt.span();
      case kFileVDesCob: return detail.span();
      case kFileVConcept: return concept_record.span();
      case kFileRemeses: return remittance.span();
      case kFileUSeccio: return section.span();
      default: return {};
    }
  }
  std::span<const char> ForFile(int16_t number) const {
    return const_cast<RecordVariables*>(this)->ForFile(number);
  }
};

}  // namespace zov::reg

#endif  // ZOV_REGISTER_RECORDS_H_
