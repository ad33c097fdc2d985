// Attachment benchmarks.
//
//   base64_bench encode FILE [RUNS]   times Base64Encode over the file's bytes
//                                     and prints the best and the first run
//   base64_bench store DIR NAME       writes a store in DIR with one mail folder
//                                     "Bench" whose one message embeds the
//                                     attachment NAME as Base64 (the caller puts
//                                     the file into DIR/Attachments)
#include "conversion/BASE64Sup.h"
#include "platform/FileStream.h"
#include "support/StoreWriter.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

using namespace velmora;

namespace {

int Usage() {
    std::fputs("usage: base64_bench encode FILE [RUNS]\n"
               "       base64_bench store DIR NAME\n",
               stderr);
    return 2;
}

int Encode(const std::string& path, int runs) {
    const std::string input = TFileStream::OpenRead(path).ReadAll();
    const double megabytes = static_cast<double>(input.size()) / 1e6;
    double best = 0;
    double first = 0;
    std::size_t length = 0;
    for (int run = 0; run < runs; ++run) {
        Base64Init();
        const auto start = std::chrono::steady_clock::now();
        const std::string text = Base64Encode(input);
        const auto stop = std::chrono::steady_clock::now();
        length = text.size();
        const double seconds = std::chrono::duration<double>(stop - start).count();
        if (run == 0)
            first = seconds;
        if (run == 0 || seconds < best)
            best = seconds;
    }
    if (length != Base64EncodedLength(input.size())) {
        std::fprintf(stderr, "encoded length %zu, expected %zu\n", length,
                     Base64EncodedLength(input.size()));
        return 1;
    }
    std::printf("input_bytes=%zu encoded_bytes=%zu vector_path=%s\n", input.size(), length,
                detail::Base64VectorAvailable() ? "yes" : "no");
    std::printf("best_seconds=%.4f best_mb_per_s=%.0f first_seconds=%.4f first_mb_per_s=%.0f\n",
                best, megabytes / best, first, megabytes / first);
    return 0;
}

int Store(const std::string& folder, const std::string& name) {
    support::TStoreWriter store(folder);
    store.AddMessage("Bench", "From: bench@example\r\n"
                              "Subject: large attachment\r\n"
                              "MIME-Version: 1.0\r\n"
                              "Content-Type: multipart/mixed; boundary=\"b\"\r\n"
                              "\r\n"
                              "--b\r\n"
                              "Content-Type: application/octet-stream\r\n"
                              "Content-Transfer-Encoding: base64\r\n"
                              "\r\n"
                              "----------[%ImFilePath%]----------" +
                                  name +
                                  "\r\n"
                                  "--b--\r\n");
    store.Write();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 2 && args.size() <= 3 && args[0] == "encode")
            return Encode(args[1], args.size() == 3 ? std::stoi(args[2]) : 3);
        if (args.size() == 3 && args[0] == "store")
            return Store(args[1], args[2]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "base64_bench: %s\n", failure.what());
        return 1;
    }
    return Usage();
}
