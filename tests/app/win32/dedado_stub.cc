// Stands in for the suite's document opener and spooler. Given a path (the
// opener), copies that CSV file to opened.csv in the directory named by
// ZOV_OPENED_DIR and appends the path to opened.list there; given nothing
// (the spooler), appends a line to spooler.ran there.
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* dir = std::getenv("ZOV_OPENED_DIR");
  if (dir == nullptr) return 2;
  if (argc == 1) {
    std::FILE* ran = std::fopen((std::string(dir) + "spooler.ran").c_str(), "ab");
    return ran != nullptr && std::fputs("ran\n", ran) >= 0 && std::fclose(ran) == 0 ? 0 : 6;
  }
  if (argc != 2) return 2;
  std::FILE* in = std::fopen(argv[1], "rb");
  if (in == nullptr) return 3;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
  std::fclose(in);
  std::FILE* out = std::fopen((std::string(dir) + "opened.csv").c_str(), "wb");
  std::FILE* list = std::fopen((std::string(dir) + "opened.list").c_str(), "ab");
  if (out == nullptr || list == nullptr) return 4;
  std::fwrite(text.data(), 1, text.size(), out);
  std::fprintf(list, "%s\n", argv[1]);
  return std::fclose(out) == 0 && std::fclose(list) == 0 ? 0 : 5;
}
