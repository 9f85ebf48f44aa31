#include "cli/cups_print.h"

#include "cli/options.h"

#include <cups/cups.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

// Server messages can run over several lines; the tool reports failures in one.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

std::string LastCupsError() {
    const char* text = cupsLastErrorString();
    return OneLine(text != nullptr && *text != '\0' ? text : ippErrorString(cupsLastError()));
}

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct DestFreer {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
using Destination = std::unique_ptr<cups_dest_t, DestFreer>;

// Options built with cupsAddOption and freed with the job whatever happens.
class JobOptions {
public:
    JobOptions(bool landscape, PaperSize paper) {
        for (const auto& [name, value] : CupsJobOptions(landscape, paper)) {
            Count = cupsAddOption(name.c_str(), value.c_str(), Count, &List);
        }
    }
    ~JobOptions() { cupsFreeOptions(Count, List); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;
    int Count = 0;
    cups_option_t* List = nullptr;
};

Connection ConnectToServer() {
    constexpr int ConnectTimeoutMs = 10000;
    Connection http(
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectTimeoutMs, nullptr));
    if (!http) {
        throw CommandFailure(std::string("cannot reach the CUPS print server at ") + cupsServer() +
                             " (is cupsd running?)");
    }
    return http;
}

Destination FindDestination(http_t* http, const std::string& queue) {
    // "queue/instance" names a saved set of options of a queue, as lp takes it.
    const std::size_t slash = queue.find('/');
    const std::string name = queue.substr(0, slash);
    const std::string instance = slash == std::string::npos ? "" : queue.substr(slash + 1);
    Destination dest(
        cupsGetNamedDest(http, name.empty() ? nullptr : name.c_str(), instance.empty() ? nullptr : instance.c_str()));
    if (dest) {
        return dest;
    }
    const ipp_status_t status = cupsLastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL) {
        throw CommandFailure("the CUPS print server did not answer: " + LastCupsError());
    }
    if (queue.empty()) {
        throw CommandFailure("no default printer is set (name one with --print=QUEUE; 'lpstat -p' lists them)");
    }
    throw CommandFailure("no printer queue named '" + OneLine(queue) + "' ('lpstat -p' lists them)");
}

} // namespace

std::vector<std::pair<std::string, std::string>> CupsJobOptions(bool landscape, PaperSize paper) {
    return {
        {"print-scaling", "none"},
        {"media", paper == PaperSize::A4 ? "iso_a4_210x297mm" : "na_letter_8.5x11in"},
        {"orientation-requested", landscape ? "4" : "3"},
    };
}

namespace {

CupsJob SendPdf(const std::string& pdfPath, const std::string& queue, bool landscape, PaperSize paper,
                const std::string& title) {
    std::ifstream pdf(pdfPath, std::ios::binary);
    if (!pdf) {
        throw CommandFailure("cannot read '" + pdfPath + "' to print it");
    }
    const Connection http = ConnectToServer();
    const Destination dest = FindDestination(http.get(), queue);
    const JobOptions options(landscape, paper);

    const int job = cupsCreateJob(http.get(), dest->name, title.c_str(), options.Count, options.List);
    if (job == 0) {
        throw CommandFailure("printer '" + std::string(dest->name) + "' refused the job: " + LastCupsError());
    }
    bool sent =
        cupsStartDocument(http.get(), dest->name, job, title.c_str(), CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    std::array<char, 65536> buffer{};
    while (sent && pdf) {
        pdf.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(pdf.gcount());
        if (count > 0 && cupsWriteRequestData(http.get(), buffer.data(), count) != HTTP_STATUS_CONTINUE) {
            sent = false;
        }
    }
    const bool readAll = pdf.eof();
    // The document must be finished even after a failure, or the connection is left mid-request.
    const bool finished = cupsFinishDocument(http.get(), dest->name) == IPP_STATUS_OK;
    if (!sent || !readAll || !finished) {
        const std::string reason = !readAll ? "cannot read '" + pdfPath + "'" : LastCupsError();
        cupsCancelJob2(http.get(), dest->name, job, 0);
        throw CommandFailure("printer '" + std::string(dest->name) + "' refused the job: " + reason);
    }
    return {job, dest->name};
}

} // namespace

int SendPdfToCups(const std::string& pdfPath, const std::string& queue, bool landscape, PaperSize paper,
                  const std::string& title) {
    return SendPdf(pdfPath, queue, landscape, paper, title).Id;
}

CupsJob PrintPageThroughCups(const std::function<void(const std::string& pdfPath)>& writePdf, const std::string& queue,
                             bool landscape, PaperSize paper, const std::string& title) {
    const TemporaryPdf pdf;
    writePdf(pdf.Path());
    return SendPdf(pdf.Path(), queue, landscape, paper, title);
}

TemporaryPdf::TemporaryPdf() {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/quillmere-XXXXXX.pdf";
    const int descriptor = mkstemps(pattern.data(), 4);
    if (descriptor < 0) {
        throw CommandFailure("cannot make a temporary file in " + pattern.substr(0, pattern.rfind('/')) + ": " +
                             std::strerror(errno));
    }
    close(descriptor);
    FilePath = pattern;
}

TemporaryPdf::~TemporaryPdf() {
    std::remove(FilePath.c_str());
}
