#include "register/issued_invoice_design.h"

namespace zov::reg {

namespace {

constexpr std::string_view kCollection =
    "Cobro (Operaci\xA2n Criterio de Caja de IVA y/o art\xA1" "culo 7.2.1\xA7 de Reglamento del IRPF)";

constexpr int kSheetLetterColumns = 702;  // "A" to "ZZ"

// Each column's letters: one letter, or two, padded with a NUL.
constexpr auto kLetters = [] {
  std::array<std::array<char, 2>, kSheetLetterColumns> letters{};
  for (int c = 0; c < kSheetLetterColumns; ++c) {
    letters[static_cast<std::size_t>(c)] =
        c < 26 ? std::array<char, 2>{static_cast<char>('A' + c), '\0'}
               : std::array<char, 2>{static_cast<char>('A' + c / 26 - 1), static_cast<char>('A' + c % 26)};
  }
  return letters;
}();

}  // namespace

// The group and column titles are the agency's template's ("\n" breaks the
// line in the cell), its typing "Refrencia" included.
const std::array<IssuedColumnSpec, kIssuedColumnCount> kIssuedInvoiceDesign = {{
    {"Autoliquidaci\xA2n", "Ejercicio", "Ejercicio", ColumnKind::kYear, 0, 10, "Ejercicio"},
    {"", "Periodo", "Periodo", ColumnKind::kText, 2, 8, "Periodo"},
    {"Actividad", "C\xA2" "digo", "Codigo", ColumnKind::kText, 1, 8, "C\xA2" "digo de actividad"},
    {"", "Tipo", "Tipo", ColumnKind::kText, 2, 6, "Tipo de actividad"},
    {"", "Grupo o Ep\xA1grafe del IAE", "Grupo o Epigrafe del IAE", ColumnKind::kText, 4, 12,
     "Grupo o Ep\xA1grafe del IAE"},
    {"Tipo de Factura", "", "Tipo de Factura", ColumnKind::kText, 2, 9, "Tipo de Factura"},
    {"Concepto de\nIngreso", "", "Concepto de Ingreso", ColumnKind::kText, 3, 10, "Concepto de Ingreso"},
    {"Ingreso Computable", "", "Ingreso Computable", ColumnKind::kAmount, 0, 14, "Ingreso Computable"},
    {"Fecha\nExpedici\xA2n", "", "Fecha Expedicion", ColumnKind::kDate, 0, 11, "Fecha Expedici\xA2n"},
    {"Fecha\nOperaci\xA2n", "", "Fecha Operacion", ColumnKind::kDate, 0, 11, "Fecha Operaci\xA2n"},
    {"Identificaci\xA2n de la Factura", "Serie", "Serie", ColumnKind::kText, 20, 8, "Serie"},
    {"", "N\xA3mero", "Numero", ColumnKind::kText, 20, 12, "N\xA3mero"},
    {"", "N\xA3mero-Final", "Numero-Final", ColumnKind::kText, 20, 12, "N\xA3mero-Final"},
    {"NIF Destinatario", "Tipo", "Tipo", ColumnKind::kText, 2, 6, "Tipo de NIF del destinatario"},
    {"", "C\xA2" "digo Pa\xA1s", "Codigo Pais", ColumnKind::kText, 2, 8, "C\xA2" "digo Pa\xA1s"},
    {"", "Identificaci\xA2n", "Identificacion", ColumnKind::kText, 20, 16, "Identificaci\xA2n del destinatario"},
    {"Nombre\nDestinatario", "", "Nombre Destinatario", ColumnKind::kText, 40, 40, "Nombre Destinatario"},
    {"Clave de Operaci\xA2n", "", "Clave de Operacion", ColumnKind::kText, 2, 10, "Clave de Operaci\xA2n"},
    {"Calificaci\xA2n de la Operaci\xA2n", "", "Calificacion de la Operacion", ColumnKind::kText, 2, 13,
     "Calificaci\xA2n de la Operaci\xA2n"},
    {"Operaci\xA2n\nExenta", "", "Operacion Exenta", ColumnKind::kText, 2, 10, "Operaci\xA2n Exenta"},
    {"Total\nFactura", "", "Total Factura", ColumnKind::kAmount, 0, 14, "Total Factura"},
    {"Base\nImponible", "", "Base Imponible", ColumnKind::kAmount, 0, 14, "Base Imponible"},
    {"Tipo\nde IVA", "", "Tipo de IVA", ColumnKind::kRate, 0, 8, "Tipo de IVA"},
    {"Cuota IVA\nRepercutida", "", "Cuota IVA Repercutida", ColumnKind::kAmount, 0, 14, "Cuota IVA Repercutida"},
    {"Tipo de\nRecargo Eq.", "", "Tipo de Recargo Eq.", ColumnKind::kRate, 0, 9, "Tipo de Recargo Eq."},
    {"Cuota Recargo Eq.", "", "Cuota Recargo Eq.", ColumnKind::kAmount, 0, 12, "Cuota Recargo Eq."},
    {kCollection, "Fecha", "Fecha", ColumnKind::kDate, 0, 11, "Fecha de cobro"},
    {"", "Importe", "Importe", ColumnKind::kAmount, 0, 12, "Importe cobrado"},
    {"", "Medio Utilizado", "Medio Utilizado", ColumnKind::kText, 2, 10, "Medio Utilizado"},
    {"", "Identificaci\xA2n Medio Utilizado", "Identificacion Medio Utilizado", ColumnKind::kText, 34, 20,
     "Identificaci\xA2n Medio Utilizado"},
    {"Tipo Retenci\xA2n\ndel IRPF", "", "Tipo Retencion del IRPF", ColumnKind::kRate, 0, 10,
     "Tipo Retenci\xA2n del IRPF"},
    {"Importe Retenido\ndel IRPF", "", "Importe Retenido del IRPF", ColumnKind::kAmount, 0, 14,
     "Importe Retenido del IRPF"},
    {"Registro Acuerdo Facturaci\xA2n", "", "Registro Acuerdo Facturacion", ColumnKind::kText, 15, 14,
     "Registro Acuerdo Facturaci\xA2n"},
    {"Inmueble", "Situaci\xA2n", "Situacion", ColumnKind::kText, 1, 10, "Situaci\xA2n del inmueble"},
    {"", "Referencia Catastral", "Referencia Catastral", ColumnKind::kText, 20, 22, "Referencia Catastral"},
    {"Refrencia Externa", "", "Referencia Externa", ColumnKind::kText, 40, 20, "Referencia Externa"},
}};

std::string_view SheetColumnLetters(int column) {
  const std::array<char, 2>& letters = kLetters[static_cast<std::size_t>(column)];
  return std::string_view(letters.data(), letters[1] == '\0' ? 1 : 2);
}

}  // namespace zov::reg
