#include "books/book_validation.h"

#include <string>
#include <string_view>

#include "books/recipient.h"
#include "format/chars.h"
#include "format/dates.h"
#include "format/number_field.h"
#include "format/tax_ids.h"

namespace zov::books {

using format::HundredthsText;
using format::DateNumberSlashText;

namespace {

using reg::ColumnKind;
using reg::IssuedColumnSpec;

const IssuedColumnSpec& Spec(int c) { return reg::kIssuedInvoiceDesign[static_cast<std::size_t>(c)]; }

std::string Column(int c) {
  return std::string(reg::SheetColumnLetters(c)) + " (" + std::string(Spec(c).name) + ")";
}
std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

bool OneOf(std::string_view value, std::string_view list) {
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(' ', start);
    if (end == std::string_view::npos) end = list.size();
    if (list.substr(start, end - start) == value) return true;
    start = end + 1;
  }
  return false;
}

class RowChecker {
 public:
  RowChecker(const BookRow& row, const RowRules& rules, std::vector<Finding>* out)
      : row_(row), rules_(rules), out_(out) {}

  void Run() {
    Shapes();
    Period();
    Activity();
    InvoiceAndConcept();
    Recipient();
    Codes();
    Amounts();
    Property();
  }

 private:
  std::string_view Text(int c) const { return row_[c].str(); }
  bool Has(int c) const { return !row_[c].empty(); }
  bool IsAmount(int c) const { return row_[c].is_amount(); }
  int64_t Value(int c) const { return row_[c].value; }
  void Fail(std::string_view rule, const std::string& text) { out_->push_back(Error(rule, text)); }

  // V3, V4, V5: each filled cell of the kind its column holds.
  void Shapes() {
    for (int c = 0; c < kColumnCount; ++c) {
      const Cell& cell = row_[c];
      if (cell.empty()) continue;
      const IssuedColumnSpec& rule = Spec(c);
      switch (rule.kind) {
        case ColumnKind::kText:
          if (!cell.is_text()) {
            Fail("V4", "La columna " + Column(c) + " debe ser un texto");
          } else if (cell.text.size() > static_cast<std::size_t>(rule.max_length)) {
            Fail("V4", "La columna " + Column(c) + " admite " + std::to_string(rule.max_length) +
                           " caracteres y tiene " + std::to_string(cell.text.size()) + ": " + Quoted(cell.text));
          }
          break;
        case ColumnKind::kAmount:
          if (!cell.is_amount()) {
            Fail("V3", "La columna " + Column(c) + " debe ser un importe num\x82rico");
          } else if (cell.value >= reg::kDesignAmountLimit || cell.value <= -reg::kDesignAmountLimit) {
            Fail("V3", "El importe " + HundredthsText(cell.value) + " de la columna " + Column(c) +
                           " tiene m\xA0s de 10 cifras enteras");
          }
          break;
        case ColumnKind::kRate:
          if (!cell.is_amount()) {
            Fail("V3", "La columna " + Column(c) + " debe ser un tipo num\x82rico");
          } else if (cell.value < 0 || cell.value >= reg::kDesignRateLimit) {
            Fail("V3", "El tipo " + HundredthsText(cell.value) + " de la columna " + Column(c) +
                           " debe estar entre 0,00 y 99,99");
          }
          break;
        case ColumnKind::kDate:
          if (cell.kind != Cell::Kind::kDate || !IsDate(cell.value)) {
            Fail("V5", "La columna " + Column(c) + " debe ser una fecha v\xA0lida" +
                           (cell.is_text() ? ": " + Quoted(cell.text) : std::string()));
          }
          break;
        case ColumnKind::kYear:
          if (cell.kind != Cell::Kind::kWhole || cell.value < 1000 || cell.value > 9999)
            Fail("V3", "El ejercicio debe ser un n\xA3mero de cuatro cifras");
          break;
      }
    }
  }

  static bool IsDate(int64_t d) {
    return format::IsCalendarDate(static_cast<int>(d / 10000), static_cast<int>(d / 100 % 100),
                                  static_cast<int>(d % 100));
  }
  bool DateIn(int c) const { return row_[c].kind == Cell::Kind::kDate && IsDate(Value(c)); }

  // V5, V11, V1/V25 and the book's period.
  void Period() {
    if (!Has(kIssueDate)) Fail("V5", "Falta la fecha de expedici\xA2n");
    if (!Has(kExercise) || !Has(kPeriod)) Fail("V11", "Faltan el ejercicio o el periodo");
    if (Has(kPeriod) && !OneOf(Text(kPeriod), "1T 2T 3T 4T"))
      Fail("V11", "Periodo " + Quoted(Text(kPeriod)) + " no v\xA0lido (1T a 4T)");
    if (!DateIn(kIssueDate)) return;
    const int64_t issued = Value(kIssueDate);
    // The operation date when there is one, else the issue date, decides
    // the exercise and the period.
    const int64_t decisive = DateIn(kOperationDate) ? Value(kOperationDate) : issued;
    const int64_t year = decisive / 10000;
    const std::string quarter = format::QuarterText(decisive);
    if (Has(kExercise) && Value(kExercise) != year)
      Fail("V11", "El ejercicio " + std::to_string(Value(kExercise)) + " no es el de la fecha (" +
                      std::to_string(year) + ")");
    if (Has(kPeriod) && Text(kPeriod) != quarter)
      Fail("V11", "El periodo " + Quoted(Text(kPeriod)) + " no es el de la fecha (" + quarter + ")");
    if (issued < rules_.period.first_date() || issued > rules_.period.last_date()) {
      Fail("PERIODO", "La fecha de expedici\xA2n " + DateNumberSlashText(issued) +
                          " est\xA0 fuera del periodo del libro (" + DateNumberSlashText(rules_.period.first_date()) +
                          " a " + DateNumberSlashText(rules_.period.last_date()) + ")");
    }
    if (DateIn(kOperationDate)) {
      if (Value(kOperationDate) == issued)
        Fail("V1", "La fecha de operaci\xA2n solo se indica cuando es distinta de la de expedici\xA2n");
      if (issued < Value(kOperationDate))
        Fail("V25", "La fecha de expedici\xA2n no puede ser anterior a la fecha de operaci\xA2n");
    }
  }

  // V16 and, for the VAT-only book, V12/V17.
  void Activity() {
    const std::string_view code = Text(kActivityCode);
    const std::string_view type = Text(kActivityType);
    if (!Has(kActivityCode) || !Has(kActivityType) || !Has(kEpigraph)) {
      Fail("V16", "Faltan el c\xA2" "digo, el tipo o el ep\xA1grafe de la actividad");
    } else if (!OneOf(code, "A B C D") || (code == "A" && !OneOf(type, "01 02 03 04 05")) ||
               (code == "B" && !OneOf(type, "01 02 03 04 05 06"))) {
      Fail("V16", "Actividad " + Quoted(code) + " de tipo " + Quoted(type) + " no v\xA0lida");
    }
    if (Has(kEpigraph)) {
      const std::string_view e = Text(kEpigraph);
      bool digits = e.size() >= 3;
      for (char ch : e) digits = digits && format::IsDigit(ch);
      if (!digits) Fail("V16", "Grupo o ep\xA1grafe del IAE " + Quoted(e) + " no v\xA0lido");
    }
    if (rules_.type == BookType::kVat) {
      for (int c : {kIncomeConcept, kComputableIncome, kWithholdingRate, kWithholdingAmount})
        if (Has(c)) Fail("V12", "En un libro solo de IVA la columna " + Column(c) + " va vac\xA1" "a");
    }
  }

  // V9, V10, V13.
  void InvoiceAndConcept() {
    if (!OneOf(Text(kInvoiceType), "F1 F2 F3 F4 R1 R2 R3 R4 R5 SF DV AJ"))
      Fail("V9", "Tipo de factura " + Quoted(Text(kInvoiceType)) + " no v\xA0lido");
    if (!Has(kNumber)) Fail("V4", "Falta el n\xA3mero de la factura");
    if (rules_.type != BookType::kUnified) return;
    if (!OneOf(Text(kIncomeConcept), "I01 I02 I03 I04 I05 I06 I07 I08 I09"))
      Fail("V10", "Concepto de ingreso " + Quoted(Text(kIncomeConcept)) + " no v\xA0lido");
    const bool exception = Text(kIncomeConcept) == "I05" || OneOf(Text(kOperationKey), "03 05 07 09");
    if (!exception && IsAmount(kTaxBase) && (!IsAmount(kComputableIncome) || Value(kComputableIncome) != Value(kTaxBase)))
      Fail("V13", "El ingreso computable debe ser igual a la base imponible (" + HundredthsText(Value(kTaxBase)) + ")");
  }

  // V2, V29, V33.
  void Recipient() {
    const std::string_view type = Text(kRecipientIdType);
    const std::string_view country = Text(kRecipientCountry);
    const std::string_view id = Text(kRecipientId);
    if (Text(kInvoiceType) == "F1" && id.empty())
      Fail("V33", "Una factura F1 debe identificar al destinatario con su NIF");
    if (type.empty()) {
      if (Has(kRecipientCountry))
        Fail("V2", "Con un NIF espa\xA4ol el tipo y el c\xA2" "digo de pa\xA1s van vac\xA1os");
      if (!id.empty() && format::ClassifyNif(id) == format::NifKind::kInvalid)
        Fail("V2", "NIF del destinatario " + Quoted(id) + " no v\xA0lido (9 caracteres con su car\xA0" "cter de control)");
      return;
    }
    if (!OneOf(type, "02 03 04 05 06")) Fail("V2", "Tipo de identificaci\xA2n " + Quoted(type) + " no v\xA0lido");
    if (country.empty() && type != "02") Fail("V2", "Falta el c\xA2" "digo de pa\xA1s del destinatario extranjero");
    if (!country.empty() && (!IsIsoCountry(country) || country == "ES"))
      Fail("V2", "C\xA2" "digo de pa\xA1s " + Quoted(country) + " no v\xA0lido para un destinatario extranjero");
    if (id.empty()) Fail("V2", "Falta la identificaci\xA2n del destinatario extranjero");
    if (type == "02") {
      const bool vat = id.size() > 2 && IsEuVatNumber(id.substr(0, 2), id.substr(2)) &&
                       (country.empty() || CountryOfVatPrefix(id.substr(0, 2)) == country);
      if (!vat) Fail("V29", "N\xA3mero de IVA intracomunitario " + Quoted(id) + " no v\xA0lido para su pa\xA1s");
      if (!OneOf(Text(kInvoiceType), "F1 F3 R1 R2 R3 R4"))
        Fail("V29", "Un NIF-IVA (tipo 02) solo cabe en facturas F1, F3 o R1 a R4");
    }
  }

  // V6, V19, V20, V24, V27, V31, V36, V40's keys.
  void Codes() {
    const std::string_view key = Text(kOperationKey);
    const std::string_view qualification = Text(kQualification);
    const std::string_view exemption = Text(kExemption);
    bool key_ok = key.size() == 2 && format::IsDigit(key[0]) && format::IsDigit(key[1]);
    const int key_number = key_ok ? (key[0] - '0') * 10 + (key[1] - '0') : 0;
    key_ok = key_ok && key_number >= 1 && key_number <= 20;
    if (!key_ok) Fail("V6", "Clave de operaci\xA2n " + Quoted(key) + " no v\xA0lida");
    if (Has(kQualification) && !OneOf(qualification, "S1 S2 N1 N2"))
      Fail("V19", "Calificaci\xA2n " + Quoted(qualification) + " no v\xA0lida");
    if (Has(kExemption) && !OneOf(exemption, "E1 E2 E3 E4 E5 E6"))
      Fail("V20", "Causa de exenci\xA2n " + Quoted(exemption) + " no v\xA0lida");
    if (Has(kQualification) && Has(kExemption))
      Fail("V20", "Una l\xA1nea lleva calificaci\xA2n o causa de exenci\xA2n, nunca ambas");
    if (!Has(kQualification) && !Has(kExemption))
      Fail("V19", "La l\xA1nea debe llevar calificaci\xA2n o causa de exenci\xA2n");
    if (key == "08" && qualification != "N2")
      Fail("V24", "Con la clave 08 (IPSI/IGIC) la calificaci\xA2n debe ser N2");
    if (key == "01" && OneOf(exemption, "E2 E3"))
      Fail("V27", "La clave 01 no admite las exenciones E2 y E3");
    if (exemption == "E5" && Text(kRecipientIdType) != "02")
      Fail("V27", "La exenci\xA2n E5 exige un destinatario con NIF-IVA (tipo 02)");
    if (key != "07") {
      for (int c : {kCollectionDate, kCollectionAmount, kCollectionMeans, kCollectionMeansId})
        if (Has(c)) Fail("V31", "El cobro (columnas AA a AD) solo se indica en operaciones de criterio de caja (clave 07)");
    }
    if (OneOf(key, "11 12 13") && (qualification != "S1" || !IsAmount(kVatRate) || Value(kVatRate) != 2100))
      Fail("V36", "Los arrendamientos de local (claves 11, 12 y 13) van sujetos (S1) al 21 %");
  }

  // V21, V35, V37, V39.
  void Amounts() {
    const std::string_view qualification = Text(kQualification);
    const int64_t base = IsAmount(kTaxBase) ? Value(kTaxBase) : 0;
    const int64_t vat = IsAmount(kVatAmount) ? Value(kVatAmount) : 0;
    const int64_t surcharge = IsAmount(kSurchargeAmount) ? Value(kSurchargeAmount) : 0;
    if (!IsAmount(kTaxBase)) Fail("V37", "Falta la base imponible");
    if (!IsAmount(kTotal)) Fail("V37", "Falta el total de la factura");
    const int64_t surcharge_rate = IsAmount(kSurchargeRate) ? Value(kSurchargeRate) : 0;
    if (IsAmount(kSurchargeRate) && surcharge_rate != 520 && surcharge_rate != 140 && surcharge_rate != 50 &&
        surcharge_rate != 175)
      Fail("V35", "Tipo de recargo de equivalencia " + HundredthsText(Value(kSurchargeRate)) + " no v\xA0lido");
    if (Has(kSurchargeAmount) && !Has(kSurchargeRate))
      Fail("V35", "Una cuota de recargo de equivalencia necesita su tipo");
    if (qualification == "S1") {
      if (!IsAmount(kVatRate) || !IsAmount(kVatAmount)) {
        Fail("V21", "Una operaci\xA2n sujeta (S1) lleva tipo y cuota de IVA");
      } else {
        // Within a cent of base x rate, in hundredths of a cent.
        const int64_t difference = vat * 10000 - base * Value(kVatRate);
        if (difference > 10000 || difference < -10000 || (vat != 0 && base != 0 && (vat < 0) != (base < 0)))
          Fail("V21", "La cuota " + HundredthsText(vat) + " no es la base " + HundredthsText(base) + " por el tipo " +
                          HundredthsText(Value(kVatRate)) + " %");
        Rates();
      }
      if (IsAmount(kTotal) && Value(kTotal) != base + vat + surcharge)
        Fail("V37", "El total " + HundredthsText(Value(kTotal)) + " debe ser base m\xA0s cuota de IVA y de recargo (" +
                        HundredthsText(base + vat + surcharge) + "); la retenci\xA2n no se descuenta");
    } else {
      if (IsAmount(kTotal) && Value(kTotal) != base)
        Fail("V37", "El total " + HundredthsText(Value(kTotal)) +
                        " de una operaci\xA2n no sujeta o exenta debe ser la base (" +
                        HundredthsText(base) + ")");
      if ((IsAmount(kVatRate) && Value(kVatRate) != 0) || vat != 0)
        Fail("V37", "Una operaci\xA2n no sujeta o exenta no lleva tipo ni cuota de IVA");
    }
  }

  // V39: the rates of S1 by date.
  void Rates() {
    const int64_t rate = Value(kVatRate);
    if (rate == 400 || rate == 1000 || rate == 2100) return;
    const int64_t date = DateIn(kIssueDate) ? Value(kIssueDate) : 0;
    bool allowed = false;
    if (rate == 0) {
      const std::string_view id = Text(kRecipientId);
      allowed = Text(kRecipientIdType).empty() && !id.empty() && OneOf(id.substr(0, 1), "R G Q N W");
    } else if (rate == 500) {
      allowed = date <= 20240930;
    } else if (rate == 200 || rate == 750) {
      allowed = date >= 20241001 && date <= 20241231;
    } else if (rate == 700 || rate == 800 || rate == 1600 || rate == 1800) {
      allowed = date <= 20121231;
    }
    if (!allowed) Fail("V39", "Tipo de IVA " + HundredthsText(rate) + " % no admitido en la fecha de la operaci\xA2n");
  }

  // V40: keys 11-13 and landlords (activity A-01 or D) give the property's
  // situation, and for situations 1-3 its cadastral reference.
  void Property() {
    const bool landlord = (Text(kActivityCode) == "A" && Text(kActivityType) == "01") || Text(kActivityCode) == "D";
    if (Has(kSituation) && !OneOf(Text(kSituation), "1 2 3 4 5"))
      Fail("V40", "Situaci\xA2n del inmueble " + Quoted(Text(kSituation)) + " no v\xA0lida");
    if (!landlord && !OneOf(Text(kOperationKey), "11 12 13")) return;
    if (!Has(kSituation)) {
      Fail("V40", "Falta la situaci\xA2n del inmueble");
      return;
    }
    const std::string_view situation = Text(kSituation);
    const std::string_view reference = Text(kCadastralReference);
    if (!OneOf(situation, "1 2 3")) return;
    if (reference.empty()) {
      Fail("V40", "Falta la referencia catastral (situaci\xA2n " + std::string(situation) + ")");
    } else if (situation == "1" && !format::IsValidCadastralReference(reference)) {
      Fail("V40", "Referencia catastral " + Quoted(reference) +
                      " no v\xA0lida (20 caracteres con sus dos caracteres de control)");
    }
  }

  const BookRow& row_;
  const RowRules& rules_;
  std::vector<Finding>* out_;
};

}  // namespace

int64_t BookPeriod::last_date() const {
  const int month = quarter * 3;
  return int64_t{year} * 10000 + month * 100 + format::DaysInMonth(year, month);
}

void ValidateRow(const BookRow& row, const RowRules& rules, std::vector<Finding>* out) {
  RowChecker(row, rules, out).Run();
}

void ValidateInvoiceRows(std::span<const BookRow> rows, std::vector<Finding>* out) {
  int withholding_rows = 0;
  for (const BookRow& row : rows)
    if (!row[kWithholdingRate].empty() || !row[kWithholdingAmount].empty()) ++withholding_rows;
  if (withholding_rows > 1)
    out->push_back(Error("V7", "La retenci\xA2n de una factura va en una sola de sus l\xA1neas"));
}

}  // namespace zov::books
