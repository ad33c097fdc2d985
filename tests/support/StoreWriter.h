// Builds mail stores for tests, demos and benchmarks: index files record by
// record, data files block by block, attachment files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::support {

// One index record, field by field. The fixed blocks are filled with a
// byte of their own so that a reader looking in the wrong place sees it.
struct TIndexRecord {
    std::int32_t Length = 0;
    std::int32_t Offset = 0;
    std::string Field1; // variable fields, each written after its length prefix
    std::string Field2;
    std::string Field3;
    std::string Field4;
    char FixedFill = '\x5a';
};

std::string EncodeInt32(std::int32_t value);
std::string EncodeIndexRecord(const TIndexRecord& record);
// "V#04" followed by the records.
std::string EncodeIndexFile(const std::vector<TIndexRecord>& records);

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// A store folder: mail folders (index + data file) and the Attachments
// folder beside them. Files are written by Write() and on destruction.
class TStoreWriter {
public:
    explicit TStoreWriter(std::string folder);
    ~TStoreWriter();
    TStoreWriter(const TStoreWriter&) = delete;
    TStoreWriter& operator=(const TStoreWriter&) = delete;

    const std::string& Folder() const { return FFolder; }
    std::string IndexPath(const std::string& mailFolder) const;
    std::string DataPath(const std::string& mailFolder) const;

    // Appends the block to the folder's data file and a record for it to its
    // index; gives the record written.
    TIndexRecord AddMessage(const std::string& mailFolder, std::string_view block);
    // Appends a record as given (for damaged or odd indexes).
    void AddRecord(const std::string& mailFolder, const TIndexRecord& record);
    // Appends raw bytes to the data file without an index record.
    std::int32_t AppendData(const std::string& mailFolder, std::string_view bytes);
    // Creates an empty mail folder (index holding only the tag).
    void AddFolder(const std::string& mailFolder);
    void AddAttachment(const std::string& name, std::string_view bytes);

    void Write();

private:
    struct TMailFolder {
        std::string Index;
        std::string Data;
    };
    std::string FFolder;
    std::map<std::string, TMailFolder> FFolders;
};

} // namespace velmora::support
