// Writes a small, realistic message store for demos and `make run`:
// Inbox, Sent Items and Deleted Items, with headers, bodies and attachment
// placeholders whose files lie in the Attachments folder.
#include "support/StoreWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const char* const kMarker = "----------[%ImFilePath%]----------";

std::string PlainMessage(const std::string& from, const std::string& to, const std::string& date,
                         const std::string& subject, const std::string& body) {
    return "From: " + from + "\r\nTo: " + to + "\r\nSubject: " + subject + "\r\nDate: " + date +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=\"iso-8859-1\"\r\n"
           "Content-Transfer-Encoding: 7bit\r\n\r\n" +
           body + "\r\n";
}

std::string MessageWithAttachment(const std::string& date, const std::string& subject,
                                  const std::string& fileName, const std::string& storedName,
                                  const std::string& type, bool base64) {
    const std::string boundary = "----=_NextPart_000_0012_01C5229A";
    return "From: \"Anna Berg\" <anna@example.org>\r\nTo: <you@example.net>\r\nSubject: " +
           subject + "\r\nDate: " + date +
           "\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed;\r\n\tboundary=\"" + boundary +
           "\"\r\n\r\nThis is a multi-part message in MIME format.\r\n\r\n--" + boundary +
           "\r\nContent-Type: text/plain; charset=\"iso-8859-1\"\r\n"
           "Content-Transfer-Encoding: quoted-printable\r\n\r\nHere is the file I promised.\r\n"
           "\r\n--" +
           boundary + "\r\nContent-Type: " + type + ";\r\n\tname=\"" + fileName +
           "\"\r\nContent-Transfer-Encoding: " + (base64 ? "base64" : "7bit") +
           "\r\nContent-Disposition: attachment;\r\n\tfilename=\"" + fileName + "\"\r\n\r\n" +
           kMarker + storedName + "\r\n\r\n--" + boundary + "--\r\n";
}

// A tiny valid PNG: a 2x2 orange square.
std::string SamplePng() {
    static const unsigned char png[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x02, 0x00, 0x00, 0x00, 0xfd,
        0xd4, 0x9a, 0x73, 0x00, 0x00, 0x00, 0x10, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8,
        0xdf, 0xc3, 0x00, 0x44, 0x0c, 0x10, 0x0a, 0x00, 0x2f, 0x3e, 0x06, 0x2d, 0x98, 0xa3, 0x74,
        0x29, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    return std::string(reinterpret_cast<const char*>(png), sizeof png);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-store FOLDER\n");
        return 2;
    }
    std::filesystem::remove_all(argv[1]);
    velmora::support::TStoreWriter store(argv[1]);

    store.AddMessage("Inbox", PlainMessage("\"Tom Hale\" <tom@example.com>", "<you@example.net>",
                                           "Mon, 7 Mar 2005 09:04:05 +0100", "Lunch on Friday?",
                                           "Hi,\r\n\r\nare we still on for Friday?\r\n\r\nTom"));
    store.AddMessage("Inbox",
                     MessageWithAttachment("Tue, 8 Mar 2005 18:30:00 +0100", "Photo from the trip",
                                           "square.png", "{5B1A2C3D}.png", "image/png", true));
    store.AddAttachment("{5B1A2C3D}.png", SamplePng());
    store.AddMessage("Inbox",
                     MessageWithAttachment("Wed, 9 Mar 2005 07:15:42 -0500", "Meeting notes",
                                           "notes.txt", "{7E8F9A0B}.txt", "text/plain", false));
    store.AddAttachment("{7E8F9A0B}.txt", "Agenda\r\n1. Budget\r\n2. Summer plans\r\n");
    store.AddMessage("Sent Items",
                     PlainMessage("<you@example.net>", "\"Tom Hale\" <tom@example.com>",
                                  "Mon, 7 Mar 2005 10:12:00 +0100", "Re: Lunch on Friday?",
                                  "Yes, see you at noon."));
    store.AddMessage("Deleted Items",
                     PlainMessage("<offers@example.biz>", "<you@example.net>",
                                  "Sat, 5 Mar 2005 03:00:00 +0000", "You have won!",
                                  "Click here to claim your prize."));
    store.Write();
    std::printf("%s\n", argv[1]);
    return 0;
}
