#include "tools/demo/demo_files.h"

#include <string>

#include "tools/demo/demo_data.h"

namespace zov::tools::demo {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// Headings of amount columns are as wide as the amounts under them (14) and
// end in the blank of the sign position; the rate headings are as wide as a
// rate (5) and right-aligned.
constexpr Translation kTranslations[] = {
    {"P\xB7GINA ", "P\xB5GINA ", "PAGINA ", "P\xB5GINA "},  // PÀGINA, PÁGINA
    {"LLIBRE REGISTRE DE FACTURES EMESES ENTRE ", "LIVRO DE REGISTO DE FATURAS EMITIDAS ENTRE ",
     "LIBRE REGISTRE DE FACTURES EMETUDES ENTRE ", "LIBRO REGISTRO DE FACTURAS EMITIDAS ENTRE "},
    {" I ", " E ", " E ", " Y "},
    {"CODI", "C\xE0" "DIGO", "C\xE3" "DI", "C\xE0" "DIGO"},  // CÓDIGO, CÒDI
    {"CLIENT", "CLIENTE", "CLIENT", "CLIENTE"},
    {"N.I.F.", "N.I.F.", "N.I.F.", "N.I.F."},
    {"FACTURA", "FATURA", "FACTURA", "FACTURA"},
    {"DATA", "DATA", "DATA", "FECHA"},
    {"       EXEMPT ", "       ISENTO ", "       EXEMPT ", "       EXENTO "},
    {"         BASE ", "         BASE ", "         BASA ", "         BASE "},
    {"TIPUS", " TAXA", " TIPE", " TIPO"},
    {"     IMPOSTOS ", "     IMPOSTOS ", "      IMP\xE3STS ", "    IMPUESTOS "},  // IMPÒSTS
    {"     RETENCI\xE0 ", "     RETEN\x80\xC7O ", "    RETENGUDA ", "    RETENCI\xE0N "},  // RETENCIÓ, RETENÇÃO, RETENCIÓN
    {"TOTAL ", "TOTAL ", "TOTAL ", "TOTAL "},
};

void Quoted(std::string* out, std::string_view item) {
  *out += '"';
  *out += item;
  *out += '"';
}

}  // namespace

std::span<const Translation> RegisterTranslations() { return kTranslations; }

std::string LanguageFileText() {
  std::string out;
  for (const Translation& t : kTranslations) {
    // Every item is quoted: several keys begin or end with blanks.
    Quoted(&out, t.catalan);
    out += ',';
    Quoted(&out, t.portuguese);
    out += ',';
    Quoted(&out, t.aranese);
    out += ',';
    Quoted(&out, t.spanish);
    out += kCrLf;
  }
  return out;
}

namespace {

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view line : lines) {
    out += line;
    out += kCrLf;
  }
  return out;
}

}  // namespace

std::string UserSettingsText() {
  return Lines({
      "[Usuari]",
      "DecCaracter=\",\"",
      "MilCaracter=\".\"",
      "DatCaracter=\"/\"",
      "DatOrdre=DMA",
      "Idioma=CAT",
  });
}

std::string SessionSettingsText(std::string_view terminal_dir) {
  const std::string dir = "Dir=" + std::string(terminal_dir);
  return Lines({
      "[Usuari]",
      "Nom=DEMO",
      "",
      "[Terminal]",
      "Numero=1",
      dir,
  });
}

std::string TerminalSettingsText() {
  return Lines({
      "[Sistema]",
      "Sortida=PDF",
      "Idioma=CAT",
      "",
      "[Pantalla]",
      "Seleccio=0",
      "Col0=15000700000700070007",
  });
}

std::string RunParametersText(bool keep_csv) {
  // Class bounds of four digits: a packed bound as long as the 2-byte class
  // code, so that classes 9900 to 9999 lie below "9999" (a bound "99" packs
  // to one byte, which every class code beginning with 99 exceeds).
  return Lines({
      kQuarterFrom,     // 1  first date
      kQuarterTo,       // 2  last date
      "",               // 3  receipts by issue date (key 1)
      "",               // 4  from the first property
      "",               // 5  to the last property
      "0000",           // 6  first class
      "9999",           // 7  last class
      "",               // 8
      "P",              // 9  output settings
      "P",              // 10
      "", "", "", "", "", "", "", "", "", "",  // 11-20 receipt filter
      "S",              // 21 owners flagged S
      "S",              // 22 owners flagged N
      keep_csv ? "S" : "N",  // 23 keep the CSV files
  });
}

}  // namespace zov::tools::demo
