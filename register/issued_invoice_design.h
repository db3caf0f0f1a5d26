// The tax agency's record design of the register of issued invoices: its 36
// columns, A to AJ, and for each what every writer and check of that design
// needs. The suite's CSV export takes its heading row from here; the record
// books take the sheet's titles, groups, widths, and the kind and length of
// what each column may hold. A new edition of the design is a new table.
//
//   for (const IssuedColumnSpec& c : kIssuedInvoiceDesign) Heading(c.csv_header);
//   SheetColumnLetters(kTaxBase)  -> "V"
#ifndef ZOV_REGISTER_ISSUED_INVOICE_DESIGN_H_
#define ZOV_REGISTER_ISSUED_INVOICE_DESIGN_H_

#include <array>
#include <cstdint>
#include <string_view>

namespace zov::reg {

// The columns, A first.
enum IssuedColumn : int {
  kExercise,            // A  Ejercicio
  kPeriod,              // B  Periodo "1T".."4T"
  kActivityCode,        // C  Actividad: Código
  kActivityType,        // D  Actividad: Tipo
  kEpigraph,            // E  Grupo o Epígrafe del IAE
  kInvoiceType,         // F  Tipo de Factura
  kIncomeConcept,       // G  Concepto de Ingreso
  kComputableIncome,    // H  Ingreso Computable
  kIssueDate,           // I  Fecha Expedición
  kOperationDate,       // J  Fecha Operación
  kSeries,              // K  Serie
  kNumber,              // L  Número
  kNumberTo,            // M  Número-Final
  kRecipientIdType,     // N  NIF Destinatario: Tipo
  kRecipientCountry,    // O  NIF Destinatario: Código País
  kRecipientId,         // P  NIF Destinatario: Identificación
  kRecipientName,       // Q  Nombre Destinatario
  kOperationKey,        // R  Clave de Operación
  kQualification,       // S  Calificación de la Operación
  kExemption,           // T  Operación Exenta
  kTotal,               // U  Total Factura
  kTaxBase,             // V  Base Imponible
  kVatRate,             // W  Tipo de IVA
  kVatAmount,           // X  Cuota IVA Repercutida
  kSurchargeRate,       // Y  Tipo de Recargo Eq.
  kSurchargeAmount,     // Z  Cuota Recargo Eq.
  kCollectionDate,      // AA Cobro: Fecha
  kCollectionAmount,    // AB Cobro: Importe
  kCollectionMeans,     // AC Cobro: Medio Utilizado
  kCollectionMeansId,   // AD Cobro: Identificación Medio Utilizado
  kWithholdingRate,     // AE Tipo Retención del IRPF
  kWithholdingAmount,   // AF Importe Retenido del IRPF
  kBillingAgreement,    // AG Registro Acuerdo Facturación
  kSituation,           // AH Inmueble: Situación
  kCadastralReference,  // AI Inmueble: Referencia Catastral
  kExternalReference,   // AJ Referencia Externa
  kIssuedColumnCount,
};

// What a column holds: text of at most max_length characters; an amount,
// Decimal(12,2); a rate, Decimal(4,2); a date; the exercise, a year of four
// digits.
enum class ColumnKind : uint8_t { kText, kAmount, kRate, kDate, kYear };

// Texts are code page 850.
struct IssuedColumnSpec {
  // The sheet's first header row: a group's title over the columns it spans
  // (merged), or the column's own title; "" continues the group on its left.
  std::string_view group;
  // The second header row: the column's title under its group ("" for a
  // column that stands alone).
  std::string_view title;
  // Its name in the heading row of the suite's CSV file (ASCII, as the
  // suite has always written it).
  std::string_view csv_header;
  ColumnKind kind;
  int max_length;  // kText: characters
  int width;       // the sheet's column width, in characters
  // Its name in messages about a cell.
  std::string_view name;
};

extern const std::array<IssuedColumnSpec, kIssuedColumnCount> kIssuedInvoiceDesign;

// Decimal(12,2): at most 10 digits before the decimal point (in hundredths).
inline constexpr int64_t kDesignAmountLimit = 1000000000000;
// Decimal(4,2): rates below 100 (in hundredths).
inline constexpr int64_t kDesignRateLimit = 10000;

// The letters of a 0-based column as a sheet names it: "A" to "Z", then "AA"
// to "ZZ". `column` must be below 702.
std::string_view SheetColumnLetters(int column);

}  // namespace zov::reg

#endif  // ZOV_REGISTER_ISSUED_INVOICE_DESIGN_H_
