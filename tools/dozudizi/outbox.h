// The outbox: one PDF per owner whose hand-off line names an e-mail address,
// and a manifest that tells the mail sender which file goes to whom.
//
// manifest.csv is code page 850 text with CRLF line ends, like the suite's
// other files: a heading line "address;name;file", then one line per owner's
// document, each field written by the reports' rule (output/report_fields.h:
// quoted where needed, no formula, no control byte, no endless value).
#ifndef ZOV_TOOLS_DOZUDIZI_OUTBOX_H_
#define ZOV_TOOLS_DOZUDIZI_OUTBOX_H_

#include <string>
#include <string_view>
#include <vector>

namespace zov::tools {

inline constexpr std::string_view kOutboxDir = "outbox";
inline constexpr std::string_view kManifestName = "manifest.csv";

struct OutboxEntry {
  std::string address;  // code page 850
  std::string name;     // code page 850
  std::string file;     // file name inside the outbox, code page 850
};

// "001-NAME.pdf" for the first owner: the 1-based number keeps names apart
// when owners share a name; the name part is the owner's name as the suite
// puts names in file names (session::FileNamePart), at most 40 characters.
std::string OutboxFileName(int number, std::string_view owner_name);

// Whether the e-mail field is one plausible address: local@domain with no
// blanks, quotes, separators or second "@"; the local part of letters,
// digits and . _ % + - (beginning with a letter or digit); the domain of at
// least two labels of letters, digits and "-" (not leading). Anything else
// gets no mail.
bool IsPlausibleAddress(std::string_view address);

std::string ManifestCsv(const std::vector<OutboxEntry>& entries);

}  // namespace zov::tools

#endif  // ZOV_TOOLS_DOZUDIZI_OUTBOX_H_
