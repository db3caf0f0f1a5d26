// Builds print files the way the register's writer does, for the spooler's
// tests: number text form (" 45 ", "-3 "), CRLF line ends, code page 850.
#ifndef ZOV_TESTS_TOOLS_DOZUDIZI_PRINT_FILE_BUILDER_H_
#define ZOV_TESTS_TOOLS_DOZUDIZI_PRINT_FILE_BUILDER_H_

#include <string>
#include <string_view>

namespace zov::tools::testing {

inline std::string NumberText(long long n) {
  return (n < 0 ? "-" + std::to_string(-n) : " " + std::to_string(n)) + " ";
}

class PrintFileBuilder {
 public:
  explicit PrintFileBuilder(std::string_view device = "") { Raw("DEVICE" + std::string(device)); }

  PrintFileBuilder& Raw(std::string_view line) {
    bytes_ += line;
    bytes_ += "\r\n";
    return *this;
  }
  PrintFileBuilder& Page(int lines) { return Raw("PAGE" + NumberText(lines)); }
  PrintFileBuilder& At(long long column, std::string_view text, long long advance) {
    return Raw(NumberText(column) + "," + std::string(text) + "," + NumberText(advance));
  }
  PrintFileBuilder& Jus(std::string_view spec) { return Raw("JUS" + std::string(spec)); }
  PrintFileBuilder& Control(std::string_view code) { return Raw("*" + std::string(code)); }
  PrintFileBuilder& Send(std::string_view text) { return Raw("SEND" + std::string(text)); }

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The register's page heading for one owner's page.
inline void RegisterHeading(PrintFileBuilder& b, std::string_view owner, int page, std::string_view title,
                            int title_column) {
  std::string number = std::to_string(page);
  b.Page(66).Control("@e").At(1, owner, 0).Jus("D");
  b.At(85, "P\xB7GINA " + std::string(4 - number.size(), ' ') + number, 2);  // "PÀGINA "
  b.At(title_column, title, 2).Control("q");
  b.At(1, "CODI", 0).At(16, "CLIENT", 0).At(58, "N.I.F.", 1);
  b.At(45, "FACTURA", 0).At(54, "DATA", 0).Jus("D");
  b.At(65, "       EXEMPT ", 0).At(80, "         BASE ", 0).At(95, "TIPUS", 0);
  b.At(101, "     IMPOSTOS ", 0).At(116, "TIPUS", 0).At(122, "     RETENCI\xE0 ", 1);  // "RETENCIÓ "
  b.At(1, std::string(134, '-'), 1);
}

}  // namespace zov::tools::testing

#endif  // ZOV_TESTS_TOOLS_DOZUDIZI_PRINT_FILE_BUILDER_H_
