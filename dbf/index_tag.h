// TMdx4Tag and TMdx7Tag: access to one entry of a production index's tag
// table, in the dBASE IV layout (11-byte name) and the dBASE 7 layout (33-byte
// name); offsets in index_format.h. The accessor points into a header buffer
// the index file owns and is moved from entry to entry with SetTag.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dbf {

class TMdxTag {
public:
    virtual ~TMdxTag() = default;
    void SetTag(uint8_t* entry) { FTag = entry; }

    // In slot order.
    virtual int32_t GetHeaderPageNo() const;
    virtual std::string GetTagName() const;
    virtual uint8_t GetKeyFormat() const { return Flag(0); }
    virtual uint8_t GetForwardTag1() const { return Flag(1); }
    virtual uint8_t GetForwardTag2() const { return Flag(2); }
    virtual uint8_t GetBackwardTag() const { return Flag(3); }
    virtual uint8_t GetReserved() const { return Flag(4); }
    virtual uint8_t GetKeyType() const { return Flag(5); }
    virtual void SetHeaderPageNo(int32_t value);
    virtual void SetTagName(const std::string& value);
    virtual void SetKeyFormat(uint8_t value) { SetFlag(0, value); }
    virtual void SetForwardTag1(uint8_t value) { SetFlag(1, value); }
    virtual void SetForwardTag2(uint8_t value) { SetFlag(2, value); }
    virtual void SetBackwardTag(uint8_t value) { SetFlag(3, value); }
    virtual void SetReserved(uint8_t value) { SetFlag(4, value); }
    virtual void SetKeyType(uint8_t value) { SetFlag(5, value); }

protected:
    TMdxTag(int nameSize, int flagsOffset) : FNameSize(nameSize), FFlagsOffset(flagsOffset) {}

private:
    uint8_t Flag(int i) const { return FTag[FFlagsOffset + i]; }
    void SetFlag(int i, uint8_t value) { FTag[FFlagsOffset + i] = value; }

    uint8_t* FTag = nullptr;
    int FNameSize;
    int FFlagsOffset;
};

class TMdx4Tag : public TMdxTag {
public:
    TMdx4Tag();
};

class TMdx7Tag : public TMdxTag {
public:
    TMdx7Tag();
};

std::unique_ptr<TMdxTag> NewMdxTag(bool level7);

}  // namespace dbf
