// The floor for a conversion: the least any converter must do per record of
// an index. Opens the data file for each record, reads the block, creates one
// new file and writes the block raw with one call. No line rules, no names.
#include "conversion/IndexReader.h"
#include "platform/FileStream.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench-floor INDEX DATA OUTDIR\n");
        return 2;
    }
    const auto records = velmora::ReadIndexFile(argv[1]);
    const std::string out = argv[3];
    std::size_t n = 0;
    for (const auto& record : records) {
        const auto data = velmora::TFileStream::OpenRead(argv[2]);
        const std::string block = data.ReadBlock(record.FOffset, record.FLength);
        auto file = velmora::TNewFile::CreateNew(out + "/" + std::to_string(n++) + ".eml");
        if (!file)
            return 1;
        file->Write(block);
        file->Commit();
    }
    return 0;
}
