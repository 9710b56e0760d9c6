// TBlobField and TMemoField: content of any length that moves whole through
// a stream from TDataSet::CreateBlobStream, never through the record buffer.
//
// A blob's AsString is its raw bytes. A memo is text: its bytes are ANSI text
// (the dataset's stream already converted them from the storage's code page)
// and are widened with TDataSet::TextFromAnsi; writing narrows with
// AnsiFromText. Writing opens a write-mode stream, which the dataset refuses
// outside edit and insert state. The field is null when the record holds no
// reference to content; a grid shows "(Memo)" for a null memo and "(MEMO)"
// for one with a value ("(Blob)"/"(BLOB)" for a blob).
#pragma once

#include "dataset/Field.h"

namespace ds {

class TBlobField : public TField {
public:
    explicit TBlobField(TFieldType dataType = ftBlob) : TField(dataType, 0) {}

    int DataSize() const override { return 0; }
    bool IsBlob() const override { return true; }

    std::string AsString() const override { return ReadBytes(); }
    void SetAsString(const std::string& value) override { WriteBytes(value); }
    TVariant Value() const override;
    void Clear() override { WriteBytes({}); }
    std::string DisplayText() const override;

protected:
    std::string ReadBytes() const;
    void WriteBytes(const std::string& bytes);

private:
    const char* TypeName() const;
};

class TMemoField : public TBlobField {
public:
    TMemoField();

    std::string AsString() const override;
    void SetAsString(const std::string& value) override;
};

}  // namespace ds
