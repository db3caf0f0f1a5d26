#include "books/vat_return/prepare_return.h"

#include <algorithm>

#include "format/chars.h"
#include "format/dates.h"
#include "format/number_field.h"

namespace zov::books::vat {

namespace {

using format::HundredthsText;

// The answers of a quarterly landlord in the general regime of the common
// territory: not foral, not in the monthly refund register, general regime
// only, no joint return, no cash criterion, no special pro rata, not in
// insolvency, not in the immediate supply of information.
constexpr struct {
  std::string_view key;
  int64_t value;
} kLandlordAnswers[] = {
    {"FORAL_IMPORTACION", 2}, {"REDEME", 2},          {"REGIMEN_SIMPLIFICADO", 3}, {"CONJUNTA", 2},
    {"CRITERIO_CAJA", 2},     {"DESTINATARIO_CAJA", 2}, {"PRORRATA_OPCION", 2},    {"PRORRATA_REVOCACION", 2},
    {"CONCURSO", 2},          {"SII", 2},             {"PAGO_CUENTA_CARBURANTES", 0}, {"MARCA_SEPA", 0},
};

constexpr std::string_view kProgramVersion = "0100";
constexpr std::string_view kLessorActivity = "A01";
constexpr int64_t kWholeShare = 10000;  // 100,00 %

}  // namespace

std::string ReturnName(std::string_view stored_name) {
  std::string name(stored_name);
  std::replace(name.begin(), name.end(), '*', ' ');
  return std::string(format::TrimBlanks(name));
}

PreparedReturn PrepareReturn(const Design& design, const ReturnSettings& settings, const OwnerFigures& f,
                             std::string_view nif) {
  PreparedReturn r;
  r.findings = f.findings;
  const Boxes& b = design.boxes;
  for (const std::string& line : f.negative_lines) {
    r.findings.push_back({std::string(b.modified_base),
                          Warning("NEGATIVA", line + " se declara como modificaci\xA2n de bases y cuotas (casillas " +
                                                  std::string(b.modified_base) + " y " + std::string(b.modified_quota) +
                                                  ") con su signo: compruebe si rectifica una factura anterior")});
  }
  if (f.igic_key_lines > 0) {
    r.findings.push_back(
        {"", Warning("TERRITORIO",
                     "Facturas de clase C (clave IGIC/IPSI en el CSV) con IVA: " +
                         std::to_string(f.igic_key_lines) + "; base " + HundredthsText(f.igic_key_base) + ", cuota " +
                         HundredthsText(f.igic_key_vat) +
                         "; declaradas como IVA, como en el resumen del registro; si un inmueble est\xA0 "
                         "en Canarias, Ceuta o Melilla, qu\xA1telas en el formulario")});
  }
  r.liable = f.year_subject_lines > 0;
  if (!r.liable) return r;

  const BookPeriod& period = settings.period;
  const bool last_period = period.quarter == 4;
  ReturnValues& v = r.values;
  v.SetAmount("EJERCICIO", period.year);
  v.SetText("EJERCICIO", std::to_string(period.year));
  v.SetText("PERIODO", format::QuarterText(period.last_date()));
  v.SetText("VERSION", kProgramVersion);
  v.SetText("NIF", nif);
  v.SetText("NOMBRE", ReturnName(f.stored_name));
  for (const auto& answer : kLandlordAnswers) v.SetAmount(answer.key, answer.value);

  // Output VAT by rate (every row of the design, empty ones as zero);
  // modifications with their sign.
  for (const RateRow& row : design.rates) {
    v.SetAmount(row.base, 0);
    v.SetAmount(row.quota, 0);
  }
  int64_t total_output = 0;
  int64_t modified_base = 0, modified_quota = 0;
  for (const RateTotals& t : f.rates) {
    const RateRow* row = FindRateRow(design, t.rate);
    if (row == nullptr) {
      r.findings.push_back(
          {"", Error("TIPO", "Tipo " + HundredthsText(t.rate) + " %: " + std::to_string(t.lines + t.negative_lines) +
                                 " facturas con base " + HundredthsText(t.base + t.negative_base) + " y cuota " +
                                 HundredthsText(t.quota + t.negative_quota) + " sin casilla en el dise\xA4o " +
                                 std::string(design.name) + ": no se declaran")});
      continue;
    }
    v.SetAmount(row->base, v.Amount(row->base) + t.base);
    v.SetAmount(row->quota, v.Amount(row->quota) + t.quota);
    modified_base += t.negative_base;
    modified_quota += t.negative_quota;
    total_output += t.quota + t.negative_quota;
  }
  v.SetAmount(b.modified_base, modified_base);
  v.SetAmount(b.modified_quota, modified_quota);

  // Nothing to deduct here: every result is the output VAT.
  v.SetAmount(b.total_output, total_output);
  v.SetAmount(b.total_deductible, 0);
  v.SetAmount(b.general_result, total_output);
  v.SetAmount(b.sum_of_results, total_output);
  v.SetAmount(b.state_percent, kWholeShare);  // the common territory's returns go wholly to the State
  v.SetAmount(b.state_share, total_output);
  v.SetAmount(b.return_result, total_output);
  v.SetAmount(b.final_result, total_output);
  v.SetText("TIPO_DECLARACION", total_output > 0 ? "I" : total_output == 0 ? "N" : "C");
  if (f.quarter_lines == 0) v.SetText("SIN_ACTIVIDAD", "X");

  if (f.quarter_subject_lines == 0) {
    r.findings.push_back(
        {"",
         Warning("SIN_IVA", "Sin facturas con IVA en el trimestre, pero con " + std::to_string(f.year_subject_lines) +
                                " en el ejercicio: se presenta con resultado cero (N)" +
                                (f.quarter_lines == 0 ? std::string(" y sin actividad") : std::string()) +
                                "; si el titular ya no es sujeto pasivo, no la presente y tramite su baja")});
  }
  if (f.unpaid_lines > 0) {
    r.findings.push_back({std::string(b.total_output),
                          Warning("COBRO", "Facturas del trimestre con IVA no cobradas del todo: " +
                                               std::to_string(f.unpaid_lines) + " (" + HundredthsText(f.unpaid_amount) +
                                               " pendientes); su IVA se declara en este trimestre, el de su devengo")});
  }
  if (total_output < 0) {
    r.findings.push_back(
        {std::string(b.final_result),
         Warning(
             "RESULTADO",
             "Resultado negativo (" + HundredthsText(total_output) + "): se declara a compensar (C)" +
                 (last_period ? std::string("; en el \xA3ltimo periodo puede pedirse la devoluci\xA2n (D), que exige "
                                            "los datos bancarios")
                              : std::string()))});
  }

  // The annual page: owners whose only activity is letting urban property
  // are exempt from the annual summary and give its figures here.
  r.annual = last_period;
  v.SetAmount("EXONERADO_390", last_period ? 1 : 0);
  const int64_t volume = f.year_subject_base + f.year_exempt;
  v.SetAmount("VOLUMEN_DISTINTO_DE_CERO", !last_period ? 0 : volume != 0 ? 1 : 2);
  if (last_period) {
    v.SetText("ACTIVIDAD", kLessorActivity);
    v.SetText("EPIGRAFE", settings.epigraph);
    for (std::string_view share : b.territory) v.SetAmount(share, 0);
    v.SetAmount(b.year_general, f.year_subject_base);
    v.SetAmount(b.year_exempt, f.year_exempt);
    v.SetAmount(b.year_volume, volume);
    r.findings.push_back(
        {"MARCA_347",
         Warning("347",
                 "La marca de operaciones con terceros (modelo 347) va en blanco: m\xA0rquela en el formulario si el "
                 "titular debe presentar el 347")});
  }
  return r;
}

}  // namespace zov::books::vat
