#include "tools/zovllibres/book_row.h"

namespace zov::books {

std::string ColumnLetters(int column) {
  std::string letters;
  int n = column + 1;
  while (n > 0) {
    const int d = (n - 1) % 26;
    letters.insert(letters.begin(), static_cast<char>('A' + d));
    n = (n - 1) / 26;
  }
  return letters;
}

}  // namespace zov::books
