#include "conversion/IndexReader.h"

#include "platform/Exceptions.h"
#include "platform/FileStream.h"

#include <cstdint>
#include <new>

namespace velmora {

namespace {

// Field offsets inside a record, counted from the record's start or from the
// end of the preceding variable field.
constexpr std::int64_t kLeadingFixed = 34;
constexpr std::int64_t kMiddleFixed = 12;
constexpr std::int64_t kBeforeLengthFixed = 6;
constexpr std::int64_t kTrailingFixed = 8;

class TRecordCursor {
public:
    explicit TRecordCursor(std::string_view bytes, std::int64_t pos) : FBytes(bytes), FPos(pos) {}

    std::int64_t Position() const { return FPos; }

    bool Skip(std::int64_t count) {
        if (count < 0 || count > Left())
            return false;
        FPos += count;
        return true;
    }

    bool ReadInt32(std::int32_t& value) {
        if (Left() < 4)
            return false;
        const auto* p = reinterpret_cast<const unsigned char*>(FBytes.data() + FPos);
        const std::uint32_t raw =
            static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
            (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
        value = static_cast<std::int32_t>(raw);
        FPos += 4;
        return true;
    }

    // A length prefix followed by the field it measures.
    bool SkipVariableField() {
        std::int32_t length = 0;
        return ReadInt32(length) && length >= 0 && Skip(length);
    }

private:
    std::int64_t Left() const { return static_cast<std::int64_t>(FBytes.size()) - FPos; }
    std::string_view FBytes;
    std::int64_t FPos;
};

} // namespace

std::vector<TIMMessage> ParseIndex(std::string_view bytes) {
    if (bytes.substr(0, kIndexVersionTag.size()) != kIndexVersionTag)
        throw EUnsupportedVersion();
    std::vector<TIMMessage> records;
    const auto size = static_cast<std::int64_t>(bytes.size());
    std::int64_t pos = static_cast<std::int64_t>(kIndexVersionTag.size());
    while (pos < size) {
        TRecordCursor cursor(bytes, pos);
        std::int32_t length = 0;
        std::int32_t offset = 0;
        const bool complete = cursor.Skip(kLeadingFixed) && cursor.SkipVariableField() &&
                              cursor.SkipVariableField() && cursor.SkipVariableField() &&
                              cursor.Skip(kMiddleFixed) && cursor.SkipVariableField() &&
                              cursor.Skip(kBeforeLengthFixed) && cursor.ReadInt32(length) &&
                              cursor.ReadInt32(offset) && cursor.Skip(kTrailingFixed);
        if (!complete)
            break;
        try {
            records.emplace_back(offset, length, std::string(), std::string(), std::string());
        } catch (const std::bad_alloc&) {
            break; // keep what was read so far
        }
        pos = cursor.Position();
    }
    return records;
}

std::vector<TIMMessage> ReadIndexFile(const std::string& Path) {
    const TFileStream stream = TFileStream::OpenRead(Path);
    return ParseIndex(stream.ReadAll());
}

} // namespace velmora
