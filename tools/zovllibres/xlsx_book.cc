#include "tools/zovllibres/xlsx_book.h"

#include <xlsxwriter.h>

#include <iterator>
#include <span>
#include <string_view>

#include "platform/code_page.h"

namespace zov::books {

namespace {

using platform::Status;

// The design's header rows, as the agency's template writes them (UTF-8:
// these texts go to the file only). A group title spans its columns in the
// first row, over the sub-titles of the second; a single column has its
// title in the first row.
struct HeaderColumn {
  std::string_view group;  // first row; "" continues the group on the left
  std::string_view title;  // second row
  double width;
};

constexpr std::string_view kCollection =
    "Cobro (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)";
constexpr std::string_view kPayment =
    "Pago (Operación Criterio de Caja de IVA y/o artículo 7.2.1º de Reglamento del IRPF)";

constexpr HeaderColumn kIssuedHeader[] = {
    {"Autoliquidación", "Ejercicio", 10},
    {"", "Periodo", 8},
    {"Actividad", "Código", 8},
    {"", "Tipo", 6},
    {"", "Grupo o Epígrafe del IAE", 12},
    {"Tipo de Factura", "", 9},
    {"Concepto de\nIngreso", "", 10},
    {"Ingreso Computable", "", 14},
    {"Fecha\nExpedición", "", 11},
    {"Fecha\nOperación", "", 11},
    {"Identificación de la Factura", "Serie", 8},
    {"", "Número", 12},
    {"", "Número-Final", 12},
    {"NIF Destinatario", "Tipo", 6},
    {"", "Código País", 8},
    {"", "Identificación", 16},
    {"Nombre\nDestinatario", "", 40},
    {"Clave de Operación", "", 10},
    {"Calificación de la Operación", "", 13},
    {"Operación\nExenta", "", 10},
    {"Total\nFactura", "", 14},
    {"Base\nImponible", "", 14},
    {"Tipo\nde IVA", "", 8},
    {"Cuota IVA\nRepercutida", "", 14},
    {"Tipo de\nRecargo Eq.", "", 9},
    {"Cuota Recargo Eq.", "", 12},
    {kCollection, "Fecha", 11},
    {"", "Importe", 12},
    {"", "Medio Utilizado", 10},
    {"", "Identificación Medio Utilizado", 20},
    {"Tipo Retención\ndel IRPF", "", 10},
    {"Importe Retenido\ndel IRPF", "", 14},
    {"Registro Acuerdo Facturación", "", 14},
    {"Inmueble", "Situación", 10},
    {"", "Referencia Catastral", 22},
    {"Refrencia Externa", "", 20},
};
static_assert(std::size(kIssuedHeader) == kColumnCount);

constexpr HeaderColumn kReceivedHeader[] = {
    {"Autoliquidación", "Ejercicio", 10},
    {"", "Periodo", 8},
    {"Actividad", "Código", 8},
    {"", "Tipo", 6},
    {"", "Grupo o Epígrafe del IAE", 12},
    {"Tipo de Factura", "", 9},
    {"Concepto de\nGasto", "", 10},
    {"Gasto Deducible", "", 14},
    {"Fecha\nExpedición", "", 11},
    {"Fecha\nOperación", "", 11},
    {"Identificación Factura del Expedidor", "(Serie-Número)", 14},
    {"", "Número-Final", 12},
    {"Fecha\nRecepción", "", 11},
    {"Número\nRecepción", "", 10},
    {"Número\nRecepción Final", "", 10},
    {"NIF Expedidor", "Tipo", 6},
    {"", "Código País", 8},
    {"", "Identificación", 16},
    {"Nombre\nExpedidor", "", 40},
    {"Clave de\nOperación", "", 10},
    {"Bien de Inversión", "", 10},
    {"Inversión del Sujeto Pasivo", "", 10},
    {"Deducible en Periodo Posterior", "", 10},
    {"Periodo Deducción", "Ejercicio", 10},
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
    {"", "Identificación Medio Utilizado", 20},
    {"Tipo Retención\ndel IRPF", "", 10},
    {"Importe Retenido\ndel IRPF", "", 14},
    {"Registro Acuerdo Facturación", "", 14},
    {"Inmueble", "Situación", 10},
    {"", "Referencia Catastral", 22},
    {"Refrencia Externa", "", 20},
};

Status LibraryError(std::string_view what, lxw_error e) {
  return Status::IoError(std::string(what) + ": " + lxw_strerror(e));
}

}  // namespace

struct XlsxBook::Parts {
  lxw_workbook* workbook = nullptr;
  lxw_worksheet* issued = nullptr;
  lxw_worksheet* received = nullptr;
  lxw_format* header = nullptr;
  lxw_format* text = nullptr;
  lxw_format* amount = nullptr;
  lxw_format* date = nullptr;
  std::string path;
  std::string tmpdir;  // kept alive: the library holds the pointer
  lxw_row_t next_row = kFirstDataRow - 1;
  bool failed = false;

  ~Parts() {
    if (workbook != nullptr) lxw_workbook_free(workbook);
  }

  Status WriteHeader(lxw_worksheet* sheet, std::span<const HeaderColumn> columns) {
    const auto n = static_cast<lxw_col_t>(columns.size());
    for (lxw_col_t c = 0; c < n; ++c) {
      if (lxw_error e = worksheet_set_column(sheet, c, c, columns[c].width, nullptr); e != LXW_NO_ERROR)
        return LibraryError("column width", e);
    }
    if (lxw_error e = worksheet_set_row(sheet, 0, 48, nullptr); e != LXW_NO_ERROR) return LibraryError("row", e);
    for (lxw_col_t c = 0; c < n;) {
      lxw_col_t last = c;
      while (last + 1 < n && columns[last + 1].group.empty()) ++last;
      const std::string group(columns[c].group);
      lxw_error e = last > c ? worksheet_merge_range(sheet, 0, c, 0, last, group.c_str(), header)
                             : worksheet_write_string(sheet, 0, c, group.c_str(), header);
      if (e != LXW_NO_ERROR) return LibraryError("header", e);
      c = last + 1;
    }
    if (lxw_error e = worksheet_set_row(sheet, 1, 30, nullptr); e != LXW_NO_ERROR) return LibraryError("row", e);
    for (lxw_col_t c = 0; c < n; ++c) {
      if (columns[c].title.empty()) continue;
      const std::string title(columns[c].title);
      if (lxw_error e = worksheet_write_string(sheet, 1, c, title.c_str(), header); e != LXW_NO_ERROR)
        return LibraryError("header", e);
    }
    worksheet_freeze_panes(sheet, kFirstDataRow - 1, 0);
    return Status::Ok();
  }
};

XlsxBook::XlsxBook(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}

XlsxBook::~XlsxBook() = default;

Status XlsxBook::Start(const std::string& path, const std::string& tmpdir, BookType type,
                       std::unique_ptr<XlsxBook>* out) {
  auto p = std::make_unique<Parts>();
  p->path = path;
  p->tmpdir = tmpdir;
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = p->tmpdir.empty() ? nullptr : p->tmpdir.data();
  p->workbook = workbook_new_opt(p->path.c_str(), &options);
  if (p->workbook == nullptr) return Status::IoError(path + ": the XLSX writer could not start");
  const std::string issued(IssuedSheetName(type));
  const std::string received(ReceivedSheetName(type));
  p->issued = workbook_add_worksheet(p->workbook, issued.c_str());
  p->received = workbook_add_worksheet(p->workbook, received.c_str());
  p->header = workbook_add_format(p->workbook);
  p->text = workbook_add_format(p->workbook);
  p->amount = workbook_add_format(p->workbook);
  p->date = workbook_add_format(p->workbook);
  if (p->issued == nullptr || p->received == nullptr || p->header == nullptr || p->text == nullptr ||
      p->amount == nullptr || p->date == nullptr) {
    return Status::IoError(path + ": the XLSX writer could not make its sheets");
  }
  format_set_bold(p->header);
  format_set_text_wrap(p->header);
  format_set_align(p->header, LXW_ALIGN_CENTER);
  format_set_align(p->header, LXW_ALIGN_VERTICAL_CENTER);
  format_set_num_format(p->text, "@");
  format_set_num_format(p->amount, "#,##0.00");
  format_set_num_format(p->date, "dd/mm/yyyy");
  if (Status s = p->WriteHeader(p->issued, kIssuedHeader); !s.ok()) return Status::IoError(path + ": " + s.message());
  if (Status s = p->WriteHeader(p->received, kReceivedHeader); !s.ok())
    return Status::IoError(path + ": " + s.message());
  *out = std::unique_ptr<XlsxBook>(new XlsxBook(std::move(p)));
  return Status::Ok();
}

Status XlsxBook::AddRow(const BookRow& row) {
  Parts& p = *parts_;
  if (p.failed) return Status::IoError(p.path + ": the book was given up after an earlier failure");
  const lxw_row_t r = p.next_row++;
  for (int c = 0; c < kColumnCount; ++c) {
    const Cell& cell = row[c];
    const auto col = static_cast<lxw_col_t>(c);
    lxw_error e = LXW_NO_ERROR;
    switch (cell.kind) {
      case Cell::Kind::kEmpty:
        continue;
      case Cell::Kind::kText:
        e = worksheet_write_string(p.issued, r, col, platform::Cp850ToUtf8(cell.text).c_str(), p.text);
        break;
      case Cell::Kind::kAmount:
        e = worksheet_write_number(p.issued, r, col, static_cast<double>(cell.value) / 100.0, p.amount);
        break;
      case Cell::Kind::kWhole:
        e = worksheet_write_number(p.issued, r, col, static_cast<double>(cell.value), nullptr);
        break;
      case Cell::Kind::kDate: {
        lxw_datetime d{static_cast<int>(cell.value / 10000), static_cast<int>(cell.value / 100 % 100),
                       static_cast<int>(cell.value % 100), 0, 0, 0.0};
        e = worksheet_write_datetime(p.issued, r, col, &d, p.date);
        break;
      }
    }
    if (e != LXW_NO_ERROR) {
      p.failed = true;
      return LibraryError(p.path + ": row " + std::to_string(r + 1) + ", column " + ColumnLetters(c), e);
    }
  }
  return Status::Ok();
}

Status XlsxBook::Finish() {
  Parts& p = *parts_;
  if (p.failed) return Status::IoError(p.path + ": the book was given up after an earlier failure");
  lxw_workbook* workbook = p.workbook;
  p.workbook = nullptr;  // workbook_close frees it, whatever it answers
  p.failed = true;
  if (lxw_error e = workbook_close(workbook); e != LXW_NO_ERROR) return LibraryError(p.path, e);
  return Status::Ok();
}

}  // namespace zov::books
