#include "books/vat_return/owner_figures.h"

#include "format/dates.h"
#include "format/number_field.h"
#include "format/packed.h"

namespace zov::books::vat {

namespace {

using format::HundredthsText;

// "La factura 26100001 de 01/10/2026".
std::string Invoice(const ReturnLine& line) {
  return "La factura " + format::UnpackDigits(line.packed_invoice) + " de " +
         format::DateSlashText(line.packed_issue_date);
}

}  // namespace

LineTax TaxOfLine(const reg::OperationCodes& codes, int64_t vat_amount) {
  if (codes.qualification == "S1") return LineTax::kSubject;
  if (codes.qualification == "N2" && vat_amount != 0) return LineTax::kSubjectUnderIgicKey;
  return LineTax::kExempt;
}

void OwnerFigures::Start(std::string_view owner_code, std::string_view name) {
  *this = OwnerFigures();
  code = std::string(owner_code);
  stored_name = std::string(name);
}

RateTotals& OwnerFigures::AtRate(int16_t rate) {
  for (RateTotals& r : rates)
    if (r.rate == rate) return r;
  rates.push_back(RateTotals{.rate = rate});
  return rates.back();
}

void AddLine(const BookPeriod& period, const ReturnLine& line, OwnerFigures* f) {
  if (line.issue_date < period.first_date() || line.issue_date > period.last_date()) {
    f->findings.push_back(
        {"",
         Error("PERIODO", Invoice(line) + " queda fuera del ejercicio hasta el final del trimestre: no se cuenta")});
    return;
  }
  const bool in_quarter = line.issue_date >= period.quarter_first_date();
  if (in_quarter) ++f->quarter_lines;

  f->year_exempt += line.exempt;
  if (in_quarter) f->quarter_exempt += line.exempt;
  if (line.tax == LineTax::kExempt) {
    f->year_exempt += line.tax_base;
    if (in_quarter) f->quarter_exempt += line.tax_base;
    return;
  }

  ++f->year_subject_lines;
  f->year_subject_base += line.tax_base;
  if (!in_quarter) return;
  ++f->quarter_subject_lines;
  if (line.tax == LineTax::kSubjectUnderIgicKey) {
    ++f->igic_key_lines;
    f->igic_key_base += line.tax_base;
    f->igic_key_vat += line.vat;
  }
  RateTotals& r = f->AtRate(line.rate);
  if (line.tax_base < 0 || line.vat < 0) {
    r.negative_base += line.tax_base;
    r.negative_quota += line.vat;
    ++r.negative_lines;
    f->negative_lines.push_back(Invoice(line) + " (base " + HundredthsText(line.tax_base) + ", cuota " +
                                HundredthsText(line.vat) + ")");
    return;
  }
  r.base += line.tax_base;
  r.quota += line.vat;
  ++r.lines;
  if (line.unpaid > 0) {
    ++f->unpaid_lines;
    f->unpaid_amount += line.unpaid;
  }
}

}  // namespace zov::books::vat
