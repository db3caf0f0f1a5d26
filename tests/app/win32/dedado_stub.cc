// Stands in for the suite's document opener and spooler. Given a path (the
// opener), copies that CSV file to opened.csv in the directory named by
// ZOV_OPENED_DIR and appends the path, in UTF-8, to opened.list there;
// given nothing (the spooler), appends a line to spooler.ran there. Names
// go through the wide API, so that any character in them arrives.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  const wchar_t* dir_value = ::_wgetenv(L"ZOV_OPENED_DIR");
  if (argv == nullptr || dir_value == nullptr) return 2;
  const std::wstring dir = dir_value;
  if (argc == 1) {
    std::FILE* ran = ::_wfopen((dir + L"spooler.ran").c_str(), L"ab");
    return ran != nullptr && std::fputs("ran\n", ran) >= 0 && std::fclose(ran) == 0 ? 0 : 6;
  }
  if (argc != 2) return 2;
  std::FILE* in = ::_wfopen(argv[1], L"rb");
  if (in == nullptr) return 3;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
  std::fclose(in);
  std::FILE* out = ::_wfopen((dir + L"opened.csv").c_str(), L"wb");
  std::FILE* list = ::_wfopen((dir + L"opened.list").c_str(), L"ab");
  if (out == nullptr || list == nullptr) return 4;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fprintf(list, "%s\n", Utf8(argv[1]).c_str());
  return std::fclose(out) == 0 && std::fclose(list) == 0 ? 0 : 5;
}
