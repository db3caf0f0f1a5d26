// Print files such as the register writes, for the spooler's tests.
#ifndef ZOV_TESTS_TOOLS_DOZUDIZI_REGISTER_EXAMPLES_H_
#define ZOV_TESTS_TOOLS_DOZUDIZI_REGISTER_EXAMPLES_H_

#include <string>
#include <vector>

#include "tests/tools/dozudizi/print_file_builder.h"

namespace zov::tools::testing {

// One owner, one group, one property, one invoice at 21 %, written out line
// by line as the register leaves it. Code page 850: \xB7 is "À", \xD4 "È",
// \x90 "É", \xE0 "Ó".
inline std::string OneOwnerPrintFile(const std::string& device = "") {
  const std::string owner = "MARIA \xB7NGELS PUIGDOM\xD4NECH FERR\x90";  // "MARIA ÀNGELS PUIGDOMÈNECH FERRÉ"
  const std::vector<std::string> lines = {
      "DEVICE" + device,
      "SENDmangels@exemple.cat,," + owner,
      "PAGE 66 ",
      "*@e",
      " 1 ," + owner + ", 0 ",
      "JUSD",
      " 85 ,P\xB7GINA    1, 2 ",  // "PÀGINA    1"
      " 16 ,LLIBRE REGISTRE DE FACTURES EMESES ENTRE 01/01/2024 I 31/03/2024, 2 ",
      "*q",
      " 1 ,CODI, 0 ",
      " 16 ,CLIENT, 0 ",
      " 58 ,N.I.F., 1 ",
      " 45 ,FACTURA, 0 ",
      " 54 ,DATA, 0 ",
      "JUSD",
      " 65 ,       EXEMPT , 0 ",
      " 80 ,         BASE , 0 ",
      " 95 ,TIPUS, 0 ",
      " 101 ,     IMPOSTOS , 0 ",
      " 116 ,TIPUS, 0 ",
      " 122 ,     RETENCI\xE0 , 1 ",  // "RETENCIÓ "
      " 1 ," + std::string(134, '-') + ", 1 ",
      "*e",
      " 1 ,12.1 PISOS CARRER MAJOR, 15, 2 ",
      "*q",
      " 1 ,12.1.3, 0 ",
      " 16 ,COMERCIAL LLOBREGAT, S.L.               , 0 ",
      " 58 ,B12345678        , 1 ",
      " 45 ,00001234, 0 ",
      " 54 ,15/02/2024, 0 ",
      "JUSD",
      " 65 ,         0'00 , 0 ",
      " 80 ,       850'00 , 0 ",
      " 95 ,21'00, 0 ",
      " 101 ,       178'50 , 0 ",
      " 116 ,19'00, 0 ",
      " 122 ,       161'50-, 1 ",
      " 65 ," + std::string(70, '-') + ", 1 ",
      " 45 ,TOTAL , 0 ",
      "JUSD",
      " 65 ,         0'00 , 0 ",
      " 80 ,       850'00 , 0 ",
      " 95 ,21'00, 0 ",
      " 101 ,       178'50 , 0 ",
      " 122 ,       161'50-, 1 ",
      " 45 ," + std::string(90, '=') + ", 1 ",
  };
  std::string bytes;
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

// Two owners: the first with enough invoices for a second page, the second
// (without an e-mail address) with one invoice on a page numbered 1 again.
inline std::string TwoOwnersPrintFile(const std::string& device = "") {
  const std::string title = "LLIBRE REGISTRE DE FACTURES EMESES ENTRE 01/01/2024 I 31/03/2024";
  PrintFileBuilder b(device);
  int counter = 0;  // the writer's line counter
  auto heading = [&](const std::string& owner, int page) {
    RegisterHeading(b, owner, page, title, 16);
    counter = 7;
  };
  auto invoice = [&](int number) {
    std::string digits = std::to_string(number);
    b.At(45, std::string(8 - digits.size(), '0') + digits, 0).At(54, "01/02/2024", 0).Jus("D");
    b.At(65, "         0'00 ", 0).At(80, "       100'00 ", 0).At(95, "21'00", 0);
    b.At(101, "        21'00 ", 0).At(116, " 0'00", 0).At(122, "         0'00 ", 1);
    ++counter;
  };
  const std::string first = "JOSEP ARAG\xE0 I CASTELL\xE0";  // "JOSEP ARAGÓ I CASTELLÓ"
  b.Send("josep@exemple.cat,," + first);
  heading(first, 1);
  // "7.1 LOCALS COL·LEGI DE GRÀCIA", "Farmàcia Núñez i Fills, S.C.P."
  b.Control("e").At(1, "7.1 LOCALS COL\xFALEGI DE GR\xB7" "CIA", 2).Control("q");
  b.At(1, "7.1.1", 0).At(16, "Farm\x85" "cia N\xA3\xA4" "ez i Fills, S.C.P.          ", 0).At(58, "J87654321        ", 1);
  counter += 3;
  for (int i = 1; i <= 55; ++i) {
    if (counter > 60) heading(first, 2);
    invoice(i);
  }
  b.At(65, std::string(70, '-'), 1).At(45, "TOTAL ", 0).Jus("D");
  b.At(65, "         0'00 ", 0).At(80, "     5.500'00 ", 0).At(95, "21'00", 0);
  b.At(101, "     1.155'00 ", 0).At(122, "         0'00 ", 1);
  b.At(45, std::string(90, '='), 1);

  const std::string second = "\x80" "ESC \x99" "BAL";  // "ÇESC ÖBAL"
  b.Send(",," + second);
  heading(second, 1);
  b.Control("e").At(1, "9.2 PLA\x80" "A", 2).Control("q");  // "PLAÇA"
  b.At(1, "9.2.4", 0).At(16, "\xA5" "ANDU S.A.", 0).At(58, "A11111111", 1);
  invoice(99);
  b.At(65, std::string(70, '-'), 1).At(45, "TOTAL ", 0).Jus("D");
  b.At(65, "         0'00 ", 0).At(80, "       100'00 ", 0).At(95, "21'00", 0);
  b.At(101, "        21'00 ", 0).At(122, "         0'00 ", 1);
  b.At(45, std::string(90, '='), 1);
  return b.bytes();
}

}  // namespace zov::tools::testing

#endif  // ZOV_TESTS_TOOLS_DOZUDIZI_REGISTER_EXAMPLES_H_
