#include "books/vat_return/owner_figures.h"

#include "format/dates.h"
#include "format/number_field.h"
#include "format/packed.h"

namespace zov::books::vat {

namespace {

std::string Money(int64_t hundredths) { return format::HundredthsText(hundredths); }

// "La factura 26100001 de 01/10/2026".
std::string Invoice(const ReturnLine& line) {
  return "La factura " + format::UnpackDigits(line.packed_invoice) + " de " +
         format::DateSlashText(line.packed_issue_date);
}

}  // namespace

LineTax TaxOfLine(std::string_view contract_kind, int64_t vat_amount) {
  if (contract_kind == "C") return LineTax::kOutside;
  if (contract_kind == "L" || vat_amount != 0) return LineTax::kSubject;
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

void AddLine(const ReturnPeriod& period, const ReturnLine& line, OwnerFigures* f) {
  const int64_t year_start = int64_t{period.year} * 10000 + 101;
  if (line.issue_date < year_start || line.issue_date > period.last_day()) {
    f->findings.push_back(VatError(
        "", "PERIODO", Invoice(line) + " queda fuera del ejercicio hasta el final del trimestre: no se cuenta"));
    return;
  }
  const bool in_quarter = line.issue_date >= period.first_day();
  const LineTax tax = TaxOfLine(line.contract_kind, line.vat);
  if (in_quarter) ++f->quarter_lines;

  if (tax == LineTax::kOutside) {
    const int64_t amount = line.tax_base + line.exempt;
    f->year_outside += amount;
    if (in_quarter) {
      f->quarter_outside += amount;
      f->quarter_outside_tax += line.vat;
      ++f->quarter_outside_lines;
    }
    return;
  }
  f->year_exempt += line.exempt;
  if (in_quarter) f->quarter_exempt += line.exempt;
  if (tax == LineTax::kExempt) {
    f->year_exempt += line.tax_base;
    if (in_quarter) f->quarter_exempt += line.tax_base;
    return;
  }

  ++f->year_subject_lines;
  f->year_subject_base += line.tax_base;
  if (!in_quarter) return;
  ++f->quarter_subject_lines;
  RateTotals& r = f->AtRate(line.rate);
  if (line.tax_base < 0 || line.vat < 0) {
    r.negative_base += line.tax_base;
    r.negative_quota += line.vat;
    ++r.negative_lines;
    f->negative_lines.push_back(Invoice(line) + " (base " + Money(line.tax_base) + ", cuota " + Money(line.vat) +
                                ")");
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
