// One data row of the issued sheet of the tax agency's record book: 36
// cells A to AJ, each empty, a text, an amount, a whole number or a date.
// Texts are code page 850; amounts and rates are hundredths (2100 is 21 %,
// 123456 is 1,234.56), as everywhere in the suite; a date is YYYYMMDD.
//
//   BookRow row;
//   row[kOperationKey] = Cell::Text("11");
//   row[kTaxBase] = Cell::Amount(100000);
#ifndef ZOV_TOOLS_ZOVLLIBRES_BOOK_ROW_H_
#define ZOV_TOOLS_ZOVLLIBRES_BOOK_ROW_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zov::books {

// The columns of the issued sheet, A first.
enum Column : int {
  kExercise,            // A  Ejercicio (whole number)
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
  kColumnCount,
};

// "A".."AJ": the column's letters in the sheet.
std::string ColumnLetters(int column);

struct Cell {
  enum class Kind : uint8_t { kEmpty, kText, kAmount, kWhole, kDate };
  Kind kind = Kind::kEmpty;
  std::string text;    // kText
  int64_t value = 0;   // kAmount: hundredths; kWhole: the number; kDate: YYYYMMDD

  static Cell Text(std::string_view t) { return Cell{Kind::kText, std::string(t), 0}; }
  static Cell Amount(int64_t hundredths) { return Cell{Kind::kAmount, {}, hundredths}; }
  static Cell Whole(int64_t v) { return Cell{Kind::kWhole, {}, v}; }
  static Cell Date(int64_t yyyymmdd) { return Cell{Kind::kDate, {}, yyyymmdd}; }

  bool empty() const { return kind == Kind::kEmpty; }
  bool is_text() const { return kind == Kind::kText; }
  bool is_amount() const { return kind == Kind::kAmount; }
  // The text of a text cell, "" for any other.
  std::string_view str() const { return kind == Kind::kText ? std::string_view(text) : std::string_view(); }
};

using BookRow = std::array<Cell, kColumnCount>;

}  // namespace zov::books

#endif  // ZOV_TOOLS_ZOVLLIBRES_BOOK_ROW_H_
