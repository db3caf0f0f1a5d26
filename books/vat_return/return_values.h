// The values of one return, by the keys of its design's fields (a box
// number or a field name): amounts in hundredths (and the other numbers of
// the design: flags, the year, percentages with two decimals) and texts in
// code page 850. A key may hold both when the design writes it as a number
// in one place and as text in another (the year). What is not set is
// written as zeros or blanks.
//
//   ReturnValues v;
//   v.SetAmount("07", 100000);
//   v.SetText("NIF", "B08222341");
//   v.Amount("09");   // 0: not set
#ifndef ZOV_BOOKS_VAT_RETURN_RETURN_VALUES_H_
#define ZOV_BOOKS_VAT_RETURN_RETURN_VALUES_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zov::books::vat {

class ReturnValues {
 public:
  void SetAmount(std::string_view key, int64_t value) { amounts_[std::string(key)] = value; }
  void SetText(std::string_view key, std::string_view text) { texts_[std::string(key)] = std::string(text); }

  // 0 / nullptr when not set.
  int64_t Amount(std::string_view key) const {
    auto it = amounts_.find(key);
    return it == amounts_.end() ? 0 : it->second;
  }
  const int64_t* FindAmount(std::string_view key) const {
    auto it = amounts_.find(key);
    return it == amounts_.end() ? nullptr : &it->second;
  }
  const std::string* FindText(std::string_view key) const {
    auto it = texts_.find(key);
    return it == texts_.end() ? nullptr : &it->second;
  }

  const std::map<std::string, int64_t, std::less<>>& amounts() const { return amounts_; }

 private:
  std::map<std::string, int64_t, std::less<>> amounts_;
  std::map<std::string, std::string, std::less<>> texts_;
};

}  // namespace zov::books::vat

#endif  // ZOV_BOOKS_VAT_RETURN_RETURN_VALUES_H_
