// Writes a store of COUNT messages of about SIZE bytes each into one mail
// folder, for timing conversions.
#include "support/StoreWriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make-bench-store FOLDER COUNT SIZE\n");
        return 2;
    }
    const std::string folder = argv[1];
    const long count = std::atol(argv[2]);
    const long size = std::atol(argv[3]);
    std::filesystem::remove_all(folder);
    velmora::support::TStoreWriter store(folder);
    std::string line = "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.";
    for (long i = 0; i < count; ++i) {
        std::string message = "From: \"Sender " + std::to_string(i % 97) +
                              "\" <s@example.org>\r\nTo: <you@example.net>\r\nSubject: Message " +
                              std::to_string(i) +
                              "\r\nDate: Mon, 7 Mar 2005 09:04:05 +0100\r\nMIME-Version: 1.0\r\n"
                              "Content-Type: text/plain; charset=\"iso-8859-1\"\r\n\r\n";
        while (static_cast<long>(message.size()) < size)
            message += line + "\r\n";
        store.AddMessage("Inbox", message);
    }
    store.Write();
    return 0;
}
