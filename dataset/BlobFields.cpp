#include "dataset/BlobFields.h"

#include "dataset/DataSet.h"

#include <cctype>

namespace ds {

TVariant TBlobField::Value() const {
    if (IsNull()) return {};
    return AsString();
}

std::string TBlobField::DisplayText() const {
    std::string text = std::string("(") + TypeName() + ")";
    if (!IsNull()) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

const char* TBlobField::TypeName() const {
    switch (DataType()) {
        case ftMemo: return "Memo";
        case ftDBaseOle: return "DBaseOle";
        default: return "Blob";
    }
}

std::string TBlobField::ReadBytes() const {
    return OwnerDataSet().CreateBlobStream(const_cast<TBlobField*>(this), bmRead)->ReadRest();
}

void TBlobField::WriteBytes(const std::string& bytes) {
    CheckNotReadOnly();
    auto stream = OwnerDataSet().CreateBlobStream(this, bmWrite);
    stream->WriteAll(bytes);
    stream->SetSize(static_cast<int64_t>(bytes.size()));
}

TMemoField::TMemoField() : TBlobField(ftMemo) {
    SetTransliterate(true);
}

std::string TMemoField::AsString() const {
    return OwnerDataSet().TextFromAnsi(ReadBytes());
}

void TMemoField::SetAsString(const std::string& value) {
    WriteBytes(OwnerDataSet().AnsiFromText(value));
}

}  // namespace ds
