#include "books/xlsx_book.h"

#include <zlib.h>

#include <array>
#include <charconv>
#include <chrono>
#include <iterator>
#include <span>
#include <string_view>

#include "books/zip_writer.h"
#include "platform/code_page.h"
#include "register/issued_invoice_design.h"

namespace zov::books {

namespace {

using platform::Status;

// A column of a sheet's header rows: a group's title spans its columns in
// the first row, over the sub-titles of the second; a single column has its
// title in the first row (code page 850; "\n" breaks the line in the cell).
struct SheetColumn {
  std::string_view group;  // first row; "" continues the group on the left
  std::string_view title;  // second row
  int width;
};

// The issued sheet's columns are the agency's design's.
const std::array<SheetColumn, kColumnCount> kIssuedHeader = [] {
  std::array<SheetColumn, kColumnCount> columns{};
  for (int c = 0; c < kColumnCount; ++c) {
    const reg::IssuedColumnSpec& spec = reg::kIssuedInvoiceDesign[static_cast<std::size_t>(c)];
    columns[static_cast<std::size_t>(c)] = {spec.group, spec.title, spec.width};
  }
  return columns;
}();

// The received sheet of the agency's template, which the books leave empty.
constexpr std::string_view kPayment =
    "Pago (Operaci\xA2n Criterio de Caja de IVA y/o art\xA1" "culo 7.2.1\xA7 de Reglamento del IRPF)";

constexpr SheetColumn kReceivedHeader[] = {
    {"Autoliquidaci\xA2n", "Ejercicio", 10},
    {"", "Periodo", 8},
    {"Actividad", "C\xA2" "digo", 8},
    {"", "Tipo", 6},
    {"", "Grupo o Ep\xA1grafe del IAE", 12},
    {"Tipo de Factura", "", 9},
    {"Concepto de\nGasto", "", 10},
    {"Gasto Deducible", "", 14},
    {"Fecha\nExpedici\xA2n", "", 11},
    {"Fecha\nOperaci\xA2n", "", 11},
    {"Identificaci\xA2n Factura del Expedidor", "(Serie-N\xA3mero)", 14},
    {"", "N\xA3mero-Final", 12},
    {"Fecha\nRecepci\xA2n", "", 11},
    {"N\xA3mero\nRecepci\xA2n", "", 10},
    {"N\xA3mero\nRecepci\xA2n Final", "", 10},
    {"NIF Expedidor", "Tipo", 6},
    {"", "C\xA2" "digo Pa\xA1s", 8},
    {"", "Identificaci\xA2n", 16},
    {"Nombre\nExpedidor", "", 40},
    {"Clave de\nOperaci\xA2n", "", 10},
    {"Bien de Inversi\xA2n", "", 10},
    {"Inversi\xA2n del Sujeto Pasivo", "", 10},
    {"Deducible en Periodo Posterior", "", 10},
    {"Periodo Deducci\xA2n", "Ejercicio", 10},
    {"", "Periodo", 8},
    {"Total\nFactura", "", 14},
    {"Base\nImponible", "", 14},
    {"Tipo\nde IVA", "", 8},
    {"Cuota IVA\nSoportado", "", 14},
    {"Cuota Deducible", "", 14},
    {"Tipo de\nRecargo Eq.", "", 9},
    {"Cuota\nRecargo Eq.", "", 12},
    {kPayment, "Fecha", 11},
    {"", "Importe", 12},
    {"", "Medio Utilizado", 10},
    {"", "Identificaci\xA2n Medio Utilizado", 20},
    {"Tipo Retenci\xA2n\ndel IRPF", "", 10},
    {"Importe Retenido\ndel IRPF", "", 14},
    {"Registro Acuerdo Facturaci\xA2n", "", 14},
    {"Inmueble", "Situaci\xA2n", 10},
    {"", "Referencia Catastral", 22},
    {"Refrencia Externa", "", 20},
};

// The book is a zip of small fixed parts and the two sheets. Everything but
// the issued sheet is written at Start; the issued sheet's entry stays open
// while rows come and is closed at Finish, so a book of any length needs
// only the buffer of XML not yet compressed.
constexpr std::size_t kFlushBytes = 64 * 1024;
// Fast deflate: the sheets are regular XML that every level packs to a small
// fraction, and the books are written by the thousand.
constexpr int kCompressionLevel = Z_BEST_SPEED;

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

constexpr std::string_view kContentTypes =
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/docProps/app.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>"
    "<Override PartName=\"/docProps/core.xml\" "
    "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
    "<Override PartName=\"/xl/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet2.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "</Types>";

constexpr std::string_view kPackageRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
    "Target=\"docProps/core.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties\" "
    "Target=\"docProps/app.xml\"/>"
    "</Relationships>";

constexpr std::string_view kWorkbookRelationships =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet2.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>"
    "</Relationships>";

// Cell styles by index: 0 general, 1 header (bold, wrapped, centred),
// 2 text ("@"), 3 amount ("#,##0.00"), 4 date ("dd/mm/yyyy").
constexpr std::string_view kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"3\"><numFmt numFmtId=\"164\" formatCode=\"@\"/>"
    "<numFmt numFmtId=\"165\" formatCode=\"#,##0.00\"/><numFmt numFmtId=\"166\" formatCode=\"dd/mm/yyyy\"/>"
    "</numFmts>"
    "<fonts count=\"2\"><font><sz val=\"11\"/><color rgb=\"FF000000\"/><name val=\"Calibri\"/><family val=\"2\"/>"
    "</font><font><b/><sz val=\"11\"/><color rgb=\"FF000000\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
    "</fonts>"
    "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
    "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"5\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyAlignment=\"1\">"
    "<alignment horizontal=\"center\" vertical=\"center\" wrapText=\"1\"/></xf>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"165\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"166\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "<dxfs count=\"0\"/><tableStyles count=\"0\"/></styleSheet>";

constexpr char kHeaderStyle = '1';
constexpr char kTextStyle = '2';
constexpr char kAmountStyle = '3';
constexpr char kDateStyle = '4';

void AppendNumber(std::string& out, int64_t n) {
  char digits[24];
  const auto converted = std::to_chars(digits, digits + sizeof digits, n);
  out.append(digits, converted.ptr);
}

// Code page 850 text as the file's UTF-8, its line breaks kept (the
// conversion would show them as the console's glyph).
std::string Utf8Lines(std::string_view cp850) {
  std::string utf8;
  for (std::size_t start = 0;;) {
    const std::size_t end = cp850.find('\n', start);
    utf8 += platform::Cp850ToUtf8(cp850.substr(start, end - start));
    if (end == std::string_view::npos) return utf8;
    utf8 += '\n';
    start = end + 1;
  }
}

// Hundredths as the shortest decimal that reads back as the same number:
// 123456 "1234.56", 123450 "1234.5", 123400 "1234", -5 "-0.05".
void AppendHundredths(std::string& out, int64_t hundredths) {
  const uint64_t magnitude = hundredths < 0 ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  if (hundredths < 0) out += '-';
  AppendNumber(out, static_cast<int64_t>(magnitude / 100));
  const auto cents = static_cast<int>(magnitude % 100);
  if (cents == 0) return;
  out += '.';
  out += static_cast<char>('0' + cents / 10);
  if (cents % 10 != 0) out += static_cast<char>('0' + cents % 10);
}

// Text for an XML element: the markup characters escaped; control bytes
// that XML cannot hold (all but tab and line feed) become blanks, as they
// would be read differently by every reader otherwise.
void AppendEscaped(std::string& out, std::string_view utf8) {
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '\t':
      case '\n': out += ch; break;
      default: out += c < 0x20 ? ' ' : ch;
    }
  }
}

void AppendCellStart(std::string& out, int column, std::string_view row, char style) {
  out += "<c r=\"";
  out += reg::SheetColumnLetters(column);
  out += row;
  out += '"';
  if (style != 0) {
    out += " s=\"";
    out += style;
    out += '"';
  }
}

void AppendTextCell(std::string& out, int column, std::string_view row, char style, std::string_view utf8) {
  AppendCellStart(out, column, row, style);
  const bool keep_blanks = !utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' ' || utf8.front() == '\n' ||
                                             utf8.back() == '\n' || utf8.front() == '\t' || utf8.back() == '\t');
  out += keep_blanks ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
  AppendEscaped(out, utf8);
  out += "</t></is></c>";
}

// Days since 30 December 1899, the sheets' date serial, of a calendar date;
// -1 for anything else (31 February, month 13).
int64_t DateSerial(int64_t yyyymmdd) {
  using namespace std::chrono;
  const year_month_day date{year{static_cast<int>(yyyymmdd / 10000)},
                            month{static_cast<unsigned>(yyyymmdd / 100 % 100)},
                            day{static_cast<unsigned>(yyyymmdd % 100)}};
  if (yyyymmdd < 0 || !date.ok()) return -1;
  return (sys_days(date) - sys_days(year{1899} / December / 30)).count();
}

// A sheet's XML up to its data: the view frozen under the two header rows,
// the column widths, and the header rows (a group's title over its merged
// columns, the sub-titles below).
std::string SheetStart(std::span<const SheetColumn> columns, bool selected) {
  std::string x(kXmlDeclaration);
  x += "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
  x += selected ? "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\">"
                : "<sheetViews><sheetView workbookViewId=\"0\">";
  x += "<pane ySplit=\"2\" topLeftCell=\"A3\" activePane=\"bottomLeft\" state=\"frozen\"/>"
       "<selection pane=\"bottomLeft\"/></sheetView></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/><cols>";
  for (std::size_t c = 0; c < columns.size(); ++c) {
    // The width a spreadsheet program shows as `width` characters of the
    // default font: the characters and 0.7109375 of padding.
    const auto number = static_cast<int64_t>(c + 1);
    x += "<col min=\"";
    AppendNumber(x, number);
    x += "\" max=\"";
    AppendNumber(x, number);
    x += "\" width=\"";
    AppendNumber(x, columns[c].width);
    x += ".7109375\" customWidth=\"1\"/>";
  }
  x += "</cols><sheetData><row r=\"1\" ht=\"48\" customHeight=\"1\">";
  const int n = static_cast<int>(columns.size());
  for (int c = 0; c < n; ++c) {
    if (columns[c].group.empty()) {
      AppendCellStart(x, c, "1", kHeaderStyle);  // inside a merged group
      x += "/>";
    } else {
      AppendTextCell(x, c, "1", kHeaderStyle, Utf8Lines(columns[c].group));
    }
  }
  x += "</row><row r=\"2\" ht=\"30\" customHeight=\"1\">";
  for (int c = 0; c < n; ++c) {
    if (!columns[c].title.empty()) AppendTextCell(x, c, "2", kHeaderStyle, Utf8Lines(columns[c].title));
  }
  x += "</row>";
  return x;
}

std::string SheetEnd(std::span<const SheetColumn> columns) {
  std::string merges;
  int count = 0;
  const int n = static_cast<int>(columns.size());
  for (int c = 0; c < n;) {
    int last = c;
    while (last + 1 < n && columns[static_cast<std::size_t>(last + 1)].group.empty()) ++last;
    if (last > c) {
      ++count;
      merges += "<mergeCell ref=\"";
      merges += reg::SheetColumnLetters(c);
      merges += "1:";
      merges += reg::SheetColumnLetters(last);
      merges += "1\"/>";
    }
    c = last + 1;
  }
  std::string x = "</sheetData>";
  if (count > 0) x += "<mergeCells count=\"" + std::to_string(count) + "\">" + merges + "</mergeCells>";
  x += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
       "</worksheet>";
  return x;
}

std::string WorkbookXml(std::string_view issued, std::string_view received) {
  std::string x(kXmlDeclaration);
  x += "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
       "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
       "<bookViews><workbookView xWindow=\"240\" yWindow=\"15\" windowWidth=\"16095\" windowHeight=\"9660\"/>"
       "</bookViews><sheets><sheet name=\"";
  AppendEscaped(x, issued);
  x += "\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"";
  AppendEscaped(x, received);
  x += "\" sheetId=\"2\" r:id=\"rId2\"/></sheets><calcPr calcId=\"124519\" fullCalcOnLoad=\"1\"/></workbook>";
  return x;
}

std::string AppXml(std::string_view issued, std::string_view received) {
  std::string x(kXmlDeclaration);
  x += "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
       "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
       "<Application>zovllibres</Application><HeadingPairs><vt:vector size=\"2\" baseType=\"variant\">"
       "<vt:variant><vt:lpstr>Worksheets</vt:lpstr></vt:variant><vt:variant><vt:i4>2</vt:i4></vt:variant>"
       "</vt:vector></HeadingPairs><TitlesOfParts><vt:vector size=\"2\" baseType=\"lpstr\"><vt:lpstr>";
  AppendEscaped(x, issued);
  x += "</vt:lpstr><vt:lpstr>";
  AppendEscaped(x, received);
  x += "</vt:lpstr></vt:vector></TitlesOfParts></Properties>";
  return x;
}

// The book's creation time (the run's, UTC), as the core properties give it.
std::string CoreXml(const RunTime& t) {
  const auto two = [](int v) {
    return std::string(1, static_cast<char>('0' + v / 10)) + static_cast<char>('0' + v % 10);
  };
  std::string stamp;
  AppendNumber(stamp, t.year);
  stamp += "-" + two(t.month) + "-" + two(t.day) + "T" + two(t.hour) + ":" + two(t.minute) + ":" + two(t.second) + "Z";
  std::string x(kXmlDeclaration);
  x += "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
       "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:dcterms=\"http://purl.org/dc/terms/\" "
       "xmlns:dcmitype=\"http://purl.org/dc/dcmitype/\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
       "<dcterms:created xsi:type=\"dcterms:W3CDTF\">";
  x += stamp;
  x += "</dcterms:created><dcterms:modified xsi:type=\"dcterms:W3CDTF\">";
  x += stamp;
  x += "</dcterms:modified></cp:coreProperties>";
  return x;
}

}  // namespace

struct XlsxBook::Parts {
  platform::FileSystem& fs;
  std::string path;
  std::unique_ptr<platform::ByteFile> file;
  std::unique_ptr<ZipWriter> zip;
  std::string xml;  // the issued sheet's XML not yet handed to the zip
  int64_t next_row = kFirstDataRow;
  enum class Stage { kWriting, kFinished, kFailed } stage = Stage::kWriting;

  Parts(platform::FileSystem& f, std::string p) : fs(f), path(std::move(p)) {}

  // A book that was not finished takes its file with it.
  ~Parts() {
    if (stage == Stage::kFinished) return;
    zip.reset();
    if (file) file->Close().IgnoreError();
    file.reset();
    fs.DeleteFile(path).IgnoreError();
  }

  Status Failed(Status s) {
    stage = Stage::kFailed;
    return s;
  }
  Status GivenUp() const {
    return Status::IoError(path + ": the book was given up after an earlier failure");
  }

  void Entry(const char* entry, std::string_view declaration, std::string_view body) {
    zip->BeginEntry(entry);
    zip->Write(declaration);
    zip->Write(body);
    zip->EndEntry();
  }
};

XlsxBook::XlsxBook(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

XlsxBook::~XlsxBook() = default;

Status XlsxBook::Start(platform::FileSystem& fs, const std::string& path, BookType type, const RunTime& time,
                       std::unique_ptr<XlsxBook>* out) {
  auto p = std::make_unique<Parts>(fs, path);
  // Only ever created new: never an existing file, never through a link.
  if (Status s = fs.OpenByteFile(path, platform::OpenMode::kCreateNew, &p->file); !s.ok()) {
    p->file.reset();
    p->stage = Parts::Stage::kFinished;  // nothing of ours to remove
    return s;
  }
  p->zip = std::make_unique<ZipWriter>(*p->file, path, ZipTimestamp::Of(time), kCompressionLevel);
  const std::string issued = platform::Cp850ToUtf8(IssuedSheetName(type));
  const std::string received = platform::Cp850ToUtf8(ReceivedSheetName(type));
  p->Entry("[Content_Types].xml", kXmlDeclaration, kContentTypes);
  p->Entry("_rels/.rels", kXmlDeclaration, kPackageRelationships);
  p->Entry("docProps/app.xml", "", AppXml(issued, received));
  p->Entry("docProps/core.xml", "", CoreXml(time));
  p->Entry("xl/_rels/workbook.xml.rels", kXmlDeclaration, kWorkbookRelationships);
  p->Entry("xl/workbook.xml", "", WorkbookXml(issued, received));
  p->Entry("xl/styles.xml", kXmlDeclaration, kStyles);
  p->Entry("xl/worksheets/sheet2.xml", "", SheetStart(kReceivedHeader, false) + SheetEnd(kReceivedHeader));
  p->zip->BeginEntry("xl/worksheets/sheet1.xml");
  if (!p->zip->status().ok()) return p->zip->status();
  p->xml = SheetStart(kIssuedHeader, true);
  *out = std::unique_ptr<XlsxBook>(new XlsxBook(std::move(p)));
  return Status::Ok();
}

Status XlsxBook::AddRow(const BookRow& row) {
  Parts& p = *parts_;
  if (p.stage != Parts::Stage::kWriting) return p.GivenUp();
  char row_number[24];
  const auto converted = std::to_chars(row_number, row_number + sizeof row_number, p.next_row++);
  const std::string_view r(row_number, static_cast<std::size_t>(converted.ptr - row_number));
  std::string& x = p.xml;
  x += "<row r=\"";
  x += r;
  x += "\">";
  for (int c = 0; c < kColumnCount; ++c) {
    const Cell& cell = row[c];
    switch (cell.kind) {
      case Cell::Kind::kEmpty:
        break;
      case Cell::Kind::kText:
        AppendTextCell(x, c, r, kTextStyle, platform::Cp850ToUtf8(cell.text));
        break;
      case Cell::Kind::kAmount:
        AppendCellStart(x, c, r, kAmountStyle);
        x += "><v>";
        AppendHundredths(x, cell.value);
        x += "</v></c>";
        break;
      case Cell::Kind::kWhole:
        AppendCellStart(x, c, r, 0);
        x += "><v>";
        AppendNumber(x, cell.value);
        x += "</v></c>";
        break;
      case Cell::Kind::kDate: {
        const int64_t serial = DateSerial(cell.value);
        if (serial < 0) {
          // Not a calendar date: shown as it is rather than as some other day.
          AppendTextCell(x, c, r, kTextStyle, std::to_string(cell.value));
          break;
        }
        AppendCellStart(x, c, r, kDateStyle);
        x += "><v>";
        AppendNumber(x, serial);
        x += "</v></c>";
        break;
      }
    }
  }
  x += "</row>";
  if (x.size() >= kFlushBytes) {
    p.zip->Write(x);
    x.clear();
    if (!p.zip->status().ok()) return p.Failed(p.zip->status());
  }
  return Status::Ok();
}

Status XlsxBook::Finish(uint64_t* size) {
  Parts& p = *parts_;
  if (p.stage != Parts::Stage::kWriting) return p.GivenUp();
  p.xml += SheetEnd(kIssuedHeader);
  p.zip->Write(p.xml);
  p.xml.clear();
  p.xml.shrink_to_fit();
  p.zip->EndEntry();
  p.zip->Finish();
  Status s = p.zip->status();
  *size = p.zip->size();
  p.zip.reset();
  const Status closed = p.file->Close();
  p.file.reset();
  if (s.ok()) s = closed;
  if (!s.ok()) return p.Failed(s);
  p.stage = Parts::Stage::kFinished;
  return Status::Ok();
}

}  // namespace zov::books
