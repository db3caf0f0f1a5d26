// The formatting library's run-wide state: display settings loaded once per
// run, the currencies, the session language, the run's date and the text
// stack. One FormatState is owned by the run and passed by reference; each
// test builds its own.
//
//   zov::format::FormatState state;
//   state.settings = &user_settings;        // may stay null: defaults
//   state.today = clock.Today();            // once per run
//   state.language = session.language;      // "CAT", "SPA", "GLG", "OCI"
#ifndef ZOV_FORMAT_FORMAT_STATE_H_
#define ZOV_FORMAT_FORMAT_STATE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "format/settings_source.h"
#include "platform/clock.h"

namespace zov::format {

struct FormatState {
  // Where separators and date settings come from; not owned, must outlive
  // the state. Null reads every setting as empty (the defaults).
  SettingsSource* settings = nullptr;

  // Separators written for "." and "," of an edit mask. NUL means not yet
  // loaded; the first FormatMask call of the run loads them.
  char decimal_char = '\0';
  char thousands_char = '\0';

  // Currency codes, one upper-case letter or empty (see SetCurrency).
  std::string accounting_currency;
  std::string alternate_currency;
  std::string display_currency;  // "P" shows pesetas, anything else euros

  // Date display settings. NUL / empty mean not yet loaded; the first
  // DateText call of the run loads them.
  char date_separator = '\0';
  std::string date_order;

  // The edit masks FormatAmount derived from its patterns, kept so that a
  // pattern is worked out once per currency rather than for every amount.
  struct AmountMask {
    std::string pattern;
    bool pesetas;
    bool nonzero;
    std::string mask;
  };
  std::vector<AmountMask> amount_masks;

  // Settings that could not be used as they stand, each said once with the
  // default taken in their place ("DecCaracter=9 is a digit: ..."). The run
  // writes them to standard error.
  std::vector<std::string> warnings;

  // The session language code, exactly three characters ("SPA", "GLG",
  // "OCI"; anything else means Catalan). Chooses DateText's month names.
  std::string language = "CAT";

  // The run's date, read from the clock once by the caller. ParseDate takes
  // its century and two-digit-year window from today.year, so the caller
  // must set it before parsing dates.
  platform::CivilDate today;

  // Day, month and year of the last date ParseDate accepted (0 after a
  // rejected text).
  std::int16_t last_day = 0;
  std::int16_t last_month = 0;
  std::int16_t last_year = 0;

  // PushText/PopText entries back to back: the bytes, then their length as
  // two bytes, little-endian.
  std::string text_stack;
};

}  // namespace zov::format

#endif  // ZOV_FORMAT_FORMAT_STATE_H_
