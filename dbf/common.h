// Shared helpers of the dBASE engine: the engine's exception classes and the
// formatting routine that fills the fixed message texts of messages.h (the
// dataset layer's, dataset/Format.h).
//
// Every engine failure is an ETableError carrying one of those texts; a failed
// write is an ETableWriteError, so callers can tell a full disk from a damaged file.
#pragma once

#include "dataset/Format.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

namespace dbf {

// The dialect of a table and its companion files. Only xBaseIII, xBaseIV,
// xFoxPro and xBaseVII are ever produced; the other values keep the numbering
// of the version recognition.
enum TXBaseVersion {
    xUnknown = 0,
    xClipper = 1,
    xBaseIII = 2,
    xBaseIV = 3,
    xBaseV = 4,
    xFoxPro = 5,
    xBaseVII = 6,
};

class ETableError : public std::runtime_error {
public:
    explicit ETableError(const std::string& message) : std::runtime_error(message) {}
};

class ETableWriteError : public ETableError {
public:
    explicit ETableWriteError(const std::string& message) : ETableError(message) {}
};

using ds::Format;

// How level-7 timestamp ('@') values are exchanged: as the date-time itself,
// or as the BDE's millisecond count in which 1 January 0001 00:00 is 86,400,000.
enum TDateTimeHandling { dtDateTime = 0, dtBDETimeStamp = 1 };

// Integer to text of exactly Width characters at Dst (no terminator): the
// decimal digits right-aligned, the positions before them filled with PadChar.
// A negative value puts '-' right before the digits when PadChar is not '0'
// (the most significant digit gives way when the digits fill the width), and
// into the first position when PadChar is '0'. Digits that do not fit are lost
// from the most significant end; callers that must not lose digits check with
// IntFitsWidth first. Shared by the field encodings and the expression engine.
void GetStrFromInt_Width(int32_t Val, int Width, char* Dst, char PadChar);
void GetStrFromInt64_Width(int64_t Val, int Width, char* Dst, char PadChar);

// Whether the decimal text of Val, with its sign, fits into Width characters.
bool IntFitsWidth(int64_t Val, int Width);

}  // namespace dbf
