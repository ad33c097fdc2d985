// One index record's place in the folder's data file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace velmora {

class TIMMessage {
public:
    TIMMessage(std::int32_t Offset, std::int32_t Length, std::string Text1, std::string Text2,
               std::string Text3)
        : FOffset(Offset), FLength(Length), FText1(std::move(Text1)), FText2(std::move(Text2)),
          FText3(std::move(Text3)) {}

    std::int32_t FOffset;
    std::int32_t FLength;
    // Kept for the record's shape; nothing fills or reads them.
    std::string FText1;
    std::string FText2;
    std::string FText3;
};

} // namespace velmora
