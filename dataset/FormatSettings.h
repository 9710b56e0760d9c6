// TFormatSettings: how the dataset framework writes and reads numbers, dates
// and times as text. One process-wide instance; the application fills it from
// the user's locale at start-up (the framework itself asks no locale).
//
// Date and time formats are patterns of the tokens yyyy, mm, dd (date) and
// hh, nn, ss (time); every other character is copied literally. A text is read
// back by taking its digit groups in the order the pattern names them.
#pragma once

#include <string>

namespace ds {

struct TFormatSettings {
    char DecimalSeparator = '.';
    std::string ShortDateFormat = "yyyy-mm-dd";
    std::string LongTimeFormat = "hh:nn:ss";
};

TFormatSettings& FormatSettings();

}  // namespace ds
