#include "support/StoreWriter.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::support {

std::string EncodeInt32(std::int32_t value) {
    const auto raw = static_cast<std::uint32_t>(value);
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((raw >> (8 * i)) & 0xff);
    return bytes;
}

std::string EncodeIndexRecord(const TIndexRecord& r) {
    std::string bytes;
    bytes.append(34, r.FixedFill);
    bytes += EncodeInt32(static_cast<std::int32_t>(r.Field1.size())) + r.Field1;
    bytes += EncodeInt32(static_cast<std::int32_t>(r.Field2.size())) + r.Field2;
    bytes += EncodeInt32(static_cast<std::int32_t>(r.Field3.size())) + r.Field3;
    bytes.append(12, r.FixedFill);
    bytes += EncodeInt32(static_cast<std::int32_t>(r.Field4.size())) + r.Field4;
    bytes.append(6, r.FixedFill);
    bytes += EncodeInt32(r.Length);
    bytes += EncodeInt32(r.Offset);
    bytes.append(8, r.FixedFill);
    return bytes;
}

std::string EncodeIndexFile(const std::vector<TIndexRecord>& records) {
    std::string bytes = "V#04";
    for (const auto& record : records)
        bytes += EncodeIndexRecord(record);
    return bytes;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

TStoreWriter::TStoreWriter(std::string folder) : FFolder(std::move(folder)) {
    std::filesystem::create_directories(FFolder);
}

TStoreWriter::~TStoreWriter() {
    try {
        Write();
    } catch (...) { // a destructor must not throw; tests see the missing files
    }
}

std::string TStoreWriter::IndexPath(const std::string& mailFolder) const {
    return FFolder + "/" + mailFolder + ".imh";
}

std::string TStoreWriter::DataPath(const std::string& mailFolder) const {
    return FFolder + "/" + mailFolder + ".imm";
}

void TStoreWriter::AddFolder(const std::string& mailFolder) {
    auto& folder = FFolders[mailFolder];
    if (folder.Index.empty())
        folder.Index = "V#04";
}

std::int32_t TStoreWriter::AppendData(const std::string& mailFolder, std::string_view bytes) {
    AddFolder(mailFolder);
    auto& folder = FFolders[mailFolder];
    const auto offset = static_cast<std::int32_t>(folder.Data.size());
    folder.Data += bytes;
    return offset;
}

TIndexRecord TStoreWriter::AddMessage(const std::string& mailFolder, std::string_view block) {
    const std::int32_t offset = AppendData(mailFolder, block);
    const TIndexRecord record{.Length = static_cast<std::int32_t>(block.size()),
                              .Offset = offset,
                              .Field1 = std::string("<msgid@example>"),
                              .Field2 = std::string("Subject"),
                              .Field3 = std::string("sender@example"),
                              .Field4 = std::string("x")};
    AddRecord(mailFolder, record);
    return record;
}

void TStoreWriter::AddRecord(const std::string& mailFolder, const TIndexRecord& record) {
    AddFolder(mailFolder);
    FFolders[mailFolder].Index += EncodeIndexRecord(record);
}

void TStoreWriter::AddAttachment(const std::string& name, std::string_view bytes) {
    const std::string folder = FFolder + "/Attachments";
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/" + name, bytes);
}

void TStoreWriter::Write() {
    for (const auto& [name, folder] : FFolders) {
        WriteFile(IndexPath(name), folder.Index);
        WriteFile(DataPath(name), folder.Data);
    }
}

} // namespace velmora::support
