// Fuzz target: a list file made of arbitrary bytes, decoded and split into
// entries as the trainer loads it. Beyond not crashing, the decoding must
// keep its promises: no entry holds a line break or a NUL, the entries
// survive being joined and split again, and the text survives a round trip
// through its UTF-16 form.
#include "app/ListFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool HoldsBreakOrNul(const QString& entry) {
    return entry.contains(QChar('\r')) || entry.contains(QChar('\n')) || entry.contains(QChar(0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TListText decoded = DecodeListText(bytes);
    const QStringList entries = SplitListEntries(decoded.Text);
    for (const QString& entry : entries)
        if (HoldsBreakOrNul(entry)) std::abort();
    if (SplitListEntries(JoinListEntries(entries)) != entries) std::abort();
    if (UnifyLineBreaks(decoded.Text).contains(QChar('\r'))) std::abort();
    if (DecodeListText(EncodeListText(decoded.Text, TListEncoding::Utf16LE)).Text != decoded.Text) std::abort();
    return 0;
}
