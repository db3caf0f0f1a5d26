#include "books/vat_return/return_checks.h"

#include <algorithm>
#include <string>

#include "books/vat_return/design_text.h"
#include "format/chars.h"
#include "format/dates.h"
#include "format/number_field.h"
#include "format/tax_ids.h"

namespace zov::books::vat {

namespace {

using format::HundredthsText;

constexpr int64_t kPercentScale = 10000;  // rates and percentages: hundredths of a percent

// base * percent / 10000, rounded half away from zero, without overflow for
// any base of 17 digits.
int64_t PercentOf(int64_t base, int64_t percent) {
  const int64_t whole = base / kPercentScale * percent;
  const int64_t part = base % kPercentScale * percent;
  const int64_t half = part >= 0 ? kPercentScale / 2 : -kPercentScale / 2;
  return whole + (part + half) / kPercentScale;
}

// |quota - base * rate / 10000| <= tolerance (all in hundredths), exactly.
bool QuotaWithin(int64_t base, int64_t rate, int64_t quota, int64_t tolerance) {
  const int64_t whole = base / kPercentScale * rate;
  const int64_t part = base % kPercentScale * rate;  // |part| / 10000 < |rate|
  const int64_t d = quota - whole;                   // quota * 10000 - base * rate = d * 10000 - part
  const int64_t bound = tolerance + (rate < 0 ? -rate : rate);
  if (d > bound || d < -bound) return false;
  const int64_t scaled = d * kPercentScale - part;
  return scaled <= tolerance * kPercentScale && scaled >= -tolerance * kPercentScale;
}

const RateTotals* FindRate(const OwnerFigures& f, int16_t rate) {
  for (const RateTotals& t : f.rates)
    if (t.rate == rate) return &t;
  return nullptr;
}

class Checker {
 public:
  Checker(const Design& design, const ReturnSettings& settings, const OwnerFigures& figures,
          const PreparedReturn& prepared, std::vector<BoxFinding>* out)
      : d_(design), settings_(settings), f_(figures), r_(prepared), v_(prepared.values), out_(out) {}

  void Run() {
    Nif();
    Period();
    Quotas();
    Sums();
    Result();
    AnnualPage();
    Fields();
  }

 private:
  void Error(std::string_view box, std::string_view rule, const std::string& text) {
    out_->push_back({std::string(box), books::Error(rule, text)});
  }
  std::string Text(std::string_view key) const {
    const std::string* t = v_.FindText(key);
    return t == nullptr ? std::string() : *t;
  }

  void Nif() {
    const std::string nif = Text("NIF");
    if (format::ClassifyNif(nif) == format::NifKind::kInvalid)
      Error("NIF", "NIF", "El NIF '" + nif + "' no es v\xA0lido (forma o car\xA0" "cter de control)");
  }

  void Period() {
    const BookPeriod& p = settings_.period;
    const std::string year = std::to_string(d_.year);
    if (p.year != d_.year || v_.Amount("EJERCICIO") != d_.year || Text("EJERCICIO") != year)
      Error("EJERCICIO", "PERIODO",
            "El ejercicio (" + std::to_string(p.year) + ", " + std::to_string(v_.Amount("EJERCICIO")) + ", '" +
                Text("EJERCICIO") + "') no es el del dise\xA4o " + std::string(d_.name) + " (" + year + ")");
    const std::string period = Text("PERIODO");
    const bool known = std::find(d_.periods.begin(), d_.periods.end(), period) != d_.periods.end();
    if (p.quarter < 1 || p.quarter > 4 || !known || period != format::QuarterText(p.last_date()))
      Error("PERIODO", "PERIODO", "El periodo '" + period + "' no es un trimestre del dise\xA4o (1T a 4T)");
  }

  void Quotas() {
    for (const RateRow& row : d_.rates) {
      const int64_t base = v_.Amount(row.base), quota = v_.Amount(row.quota);
      if (base == 0 && quota == 0) continue;
      const RateTotals* t = FindRate(f_, row.rate);
      const int64_t lines = t == nullptr ? 0 : t->lines;
      if (!QuotaWithin(base, row.rate, quota, lines)) {
        Error(row.quota, "CUOTA",
              "La cuota " + std::string(row.quota) + " (" + HundredthsText(quota) + ") no es la base " +
                  std::string(row.base) + " (" + HundredthsText(base) + ") al " + HundredthsText(row.rate) + " % (" +
                  HundredthsText(PercentOf(base, row.rate)) + ") con un margen de " + std::to_string(lines) +
                  " c\x82ntimos, uno por factura");
      }
    }
    // The modifications: each rate's negative lines at that rate.
    int64_t expected = 0, tolerance = 0;
    for (const RateTotals& t : f_.rates) {
      if (t.negative_lines == 0 || FindRateRow(d_, t.rate) == nullptr) continue;
      expected += PercentOf(t.negative_base, t.rate);
      tolerance += t.negative_lines;
    }
    const std::string_view box = d_.boxes.modified_quota;
    const int64_t quota = v_.Amount(box);
    if (quota - expected > tolerance || expected - quota > tolerance) {
      Error(box, "CUOTA",
            "La cuota de las modificaciones " + std::string(box) + " (" + HundredthsText(quota) +
                ") no es la de sus bases a sus tipos (" + HundredthsText(expected) + ") con un margen de " +
                std::to_string(tolerance) + " c\x82ntimos, uno por factura");
    }
  }

  void Sums() {
    for (const Sum& sum : d_.sums) {
      int64_t parts = 0;
      for (const Term& t : sum.terms) parts += t.sign * v_.Amount(t.box);
      if (v_.Amount(sum.total) != parts)
        Error(sum.total, "SUMA",
              "La casilla " + std::string(sum.total) + " (" + HundredthsText(v_.Amount(sum.total)) +
                  ") no es la suma de sus partes (" + HundredthsText(parts) + ")");
    }
  }

  void Result() {
    const Share& s = d_.state_share;
    const int64_t expected = PercentOf(v_.Amount(s.base), v_.Amount(s.percent));
    if (v_.Amount(s.share) != expected)
      Error(s.share, "RESULTADO",
            "La casilla " + std::string(s.share) + " (" + HundredthsText(v_.Amount(s.share)) + ") no es el " +
                HundredthsText(v_.Amount(s.percent)) + " % de la casilla " + std::string(s.base) + " (" + HundredthsText(expected) +
                ")");
    const int64_t result = v_.Amount(d_.boxes.final_result);
    const std::string type = Text("TIPO_DECLARACION");
    const bool fits = result > 0 ? type == "I" : result == 0 ? type == "N" : (type == "C" || type == "D");
    if (!fits)
      Error("TIPO_DECLARACION", "RESULTADO",
            "El tipo de declaraci\xA2n '" + type + "' no corresponde al resultado " + HundredthsText(result) +
                " (I a ingresar, N cero, C a compensar)");
  }

  void AnnualPage() {
    const bool last = settings_.period.quarter == 4;
    if (r_.annual != last)
      Error("", "PAGINA4", "La p\xA0gina 4 (informaci\xA2n anual) solo va en el \xA3ltimo periodo");
    const int64_t exempt_mark = v_.Amount("EXONERADO_390");
    const int64_t volume_mark = v_.Amount("VOLUMEN_DISTINTO_DE_CERO");
    const int64_t volume = v_.Amount(d_.boxes.year_volume);
    const bool marks = !last ? exempt_mark == 0 && volume_mark == 0
                             : exempt_mark == (r_.annual ? 1 : 2) &&
                                   volume_mark == (!r_.annual ? 0 : volume != 0 ? 1 : 2);
    if (!marks)
      Error("EXONERADO_390", "PAGINA4",
            "Las marcas de exoneraci\xA2n del modelo 390 (" + std::to_string(exempt_mark) + ") y de volumen (" +
                std::to_string(volume_mark) + ") no corresponden al periodo ni a la p\xA0gina 4");
    if (r_.annual) {
      const std::string epigraph = Text("EPIGRAFE");
      const bool digits = std::all_of(epigraph.begin(), epigraph.end(), format::IsDigit);
      if (epigraph.size() < 3 || epigraph.size() > 4 || !digits)
        Error("EPIGRAFE", "EPIGRAFE", "El ep\xA1grafe del IAE '" + epigraph + "' no tiene 3 o 4 cifras");
    }
  }

  void Fields() {
    for (const Piece& piece : d_.pieces) {
      if (piece.use == PieceUse::kAnnual && !r_.annual) continue;
      for (const Field& field : piece.fields) {
        if (field.key.empty() || !field.fixed.empty()) continue;
        if (field.type == FieldType::kText) {
          const std::string* text = v_.FindText(field.key);
          if (text == nullptr) continue;
          if (static_cast<int>(text->size()) > field.length) {
            Error(field.key, "CAMPO",
                  "El texto '" + *text + "' no cabe en " + std::to_string(field.length) + " posiciones");
            continue;
          }
          int blanked = 0;
          (void)DesignText(*text, &blanked);
          if (blanked > 0)
            out_->push_back({std::string(field.key), Warning("TEXTO",
                                       "Caracteres que el dise\xA4o no admite en '" + *text +
                                           "': " + std::to_string(blanked) + ", escritos en blanco")});
          continue;
        }
        const int64_t* amount = v_.FindAmount(field.key);
        if (amount == nullptr) continue;
        std::string digits;
        if (!FieldNumber(field, *amount, &digits))
          Error(field.key, "CAMPO",
                "El importe " + HundredthsText(*amount) + " no cabe en " + std::to_string(field.length) + " posiciones" +
                    (field.type == FieldType::kUnsigned ? " sin signo" : ""));
      }
    }
  }

  const Design& d_;
  const ReturnSettings& settings_;
  const OwnerFigures& f_;
  const PreparedReturn& r_;
  const ReturnValues& v_;
  std::vector<BoxFinding>* out_;
};

}  // namespace

void CheckReturn(const Design& design, const ReturnSettings& settings, const OwnerFigures& figures,
                 const PreparedReturn& prepared, std::vector<BoxFinding>* out) {
  Checker(design, settings, figures, prepared, out).Run();
}

}  // namespace zov::books::vat
