#include "cli/cups_print.h"

#include "cli/options.h"

// Only the types and constants: the functions come from the library loaded at run time (CupsFunctions below).
#include <cups/cups.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

// The functions of CUPS's library that printing uses. The tool does not link the library: with its dependencies
// (Kerberos, GnuTLS, Avahi, D-Bus) it would be loaded by every command and would cost more start-up time than
// computing an alignment, so it is loaded when a page is printed.
struct CupsFunctions {
    decltype(&::cupsLastErrorString) LastErrorString = nullptr;
    decltype(&::cupsLastError) LastError = nullptr;
    decltype(&::ippErrorString) IppErrorString = nullptr;
    decltype(&::httpConnect2) HttpConnect2 = nullptr;
    decltype(&::httpClose) HttpClose = nullptr;
    decltype(&::cupsServer) Server = nullptr;
    decltype(&::ippPort) IppPort = nullptr;
    decltype(&::cupsEncryption) Encryption = nullptr;
    decltype(&::cupsGetNamedDest) GetNamedDest = nullptr;
    decltype(&::cupsFreeDests) FreeDests = nullptr;
    decltype(&::cupsAddOption) AddOption = nullptr;
    decltype(&::cupsFreeOptions) FreeOptions = nullptr;
    decltype(&::cupsCreateJob) CreateJob = nullptr;
    decltype(&::cupsStartDocument) StartDocument = nullptr;
    decltype(&::cupsWriteRequestData) WriteRequestData = nullptr;
    decltype(&::cupsFinishDocument) FinishDocument = nullptr;
    decltype(&::cupsCancelJob2) CancelJob2 = nullptr;
};

// Looks a function up by name into `slot`; the function pointer types come from the header, so a slot and its
// name cannot disagree on the signature unless the library itself does.
template <class Function> bool FindFunction(void* library, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(dlsym(library, name));
    return slot != nullptr;
}

Result<CupsFunctions> OpenCups(const std::string& fileName) {
    // A library that serves is kept for the life of the process: its own threads and atexit handlers need it there.
    void* library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return Failure{"cannot print: CUPS's library " + fileName + " is not installed"};
    }
    CupsFunctions f;
    const char* missing = nullptr;
    const auto find = [&](const char* name, auto& slot) {
        if (missing == nullptr && !FindFunction(library, name, slot)) {
            missing = name;
        }
    };
    find("cupsLastErrorString", f.LastErrorString);
    find("cupsLastError", f.LastError);
    find("ippErrorString", f.IppErrorString);
    find("httpConnect2", f.HttpConnect2);
    find("httpClose", f.HttpClose);
    find("cupsServer", f.Server);
    find("ippPort", f.IppPort);
    find("cupsEncryption", f.Encryption);
    find("cupsGetNamedDest", f.GetNamedDest);
    find("cupsFreeDests", f.FreeDests);
    find("cupsAddOption", f.AddOption);
    find("cupsFreeOptions", f.FreeOptions);
    find("cupsCreateJob", f.CreateJob);
    find("cupsStartDocument", f.StartDocument);
    find("cupsWriteRequestData", f.WriteRequestData);
    find("cupsFinishDocument", f.FinishDocument);
    find("cupsCancelJob2", f.CancelJob2);
    if (missing != nullptr) {
        dlclose(library);
        return Failure{"cannot print: CUPS's library " + fileName + " has no " + missing + " (too old?)"};
    }
    return f;
}

// Loaded once, by the first job.
const CupsFunctions& Cups() {
    static const Result<CupsFunctions> functions = OpenCups(std::string(CupsLibraryFile));
    if (!functions) {
        throw CommandFailure(functions.Message());
    }
    return *functions;
}

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
    const char* text = Cups().LastErrorString();
    return OneLine(text != nullptr && *text != '\0' ? text : Cups().IppErrorString(Cups().LastError()));
}

struct HttpCloser {
    void operator()(http_t* http) const { Cups().HttpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

struct DestFreer {
    void operator()(cups_dest_t* dest) const { Cups().FreeDests(1, dest); }
};
using Destination = std::unique_ptr<cups_dest_t, DestFreer>;

// Options built with cupsAddOption and freed with the job whatever happens.
class JobOptions {
public:
    JobOptions(bool landscape, PaperSize paper) {
        for (const auto& [name, value] : CupsJobOptions(landscape, paper)) {
            Count = Cups().AddOption(name.c_str(), value.c_str(), Count, &List);
        }
    }
    ~JobOptions() { Cups().FreeOptions(Count, List); }
    JobOptions(const JobOptions&) = delete;
    JobOptions& operator=(const JobOptions&) = delete;
    int Count = 0;
    cups_option_t* List = nullptr;
};

Connection ConnectToServer() {
    constexpr int ConnectTimeoutMs = 10000;
    Connection http(Cups().HttpConnect2(Cups().Server(), Cups().IppPort(), nullptr, AF_UNSPEC, Cups().Encryption(), 1,
                                        ConnectTimeoutMs, nullptr));
    if (!http) {
        throw CommandFailure(std::string("cannot reach the CUPS print server at ") + Cups().Server() +
                             " (is cupsd running?)");
    }
    return http;
}

Destination FindDestination(http_t* http, const std::string& queue) {
    // "queue/instance" names a saved set of options of a queue, as lp takes it.
    const std::size_t slash = queue.find('/');
    const std::string name = queue.substr(0, slash);
    const std::string instance = slash == std::string::npos ? "" : queue.substr(slash + 1);
    Destination dest(Cups().GetNamedDest(http, name.empty() ? nullptr : name.c_str(),
                                         instance.empty() ? nullptr : instance.c_str()));
    if (dest) {
        return dest;
    }
    const ipp_status_t status = Cups().LastError();
    if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || status == IPP_STATUS_ERROR_INTERNAL) {
        throw CommandFailure("the CUPS print server did not answer: " + LastCupsError());
    }
    if (queue.empty()) {
        throw CommandFailure("no default printer is set (name one with --print=QUEUE; 'lpstat -p' lists them)");
    }
    throw CommandFailure("no printer queue named '" + OneLine(queue) + "' ('lpstat -p' lists them)");
}

// The paper by its name in the printing system's own list of media.
std::string MediaOf(PaperSize paper) {
    switch (paper) {
    case PaperSize::A4:
        return "iso_a4_210x297mm";
    case PaperSize::A3:
        return "iso_a3_297x420mm";
    case PaperSize::Tabloid:
        return "na_ledger_11x17in";
    case PaperSize::Legal:
        return "na_legal_8.5x14in";
    case PaperSize::Letter:
        break;
    }
    return "na_letter_8.5x11in";
}

} // namespace

std::vector<std::pair<std::string, std::string>> CupsJobOptions(bool landscape, PaperSize paper) {
    return {
        {"print-scaling", "none"},
        {"media", MediaOf(paper)},
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

    const int job = Cups().CreateJob(http.get(), dest->name, title.c_str(), options.Count, options.List);
    if (job == 0) {
        throw CommandFailure("printer '" + std::string(dest->name) + "' refused the job: " + LastCupsError());
    }
    bool sent =
        Cups().StartDocument(http.get(), dest->name, job, title.c_str(), CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    std::array<char, 65536> buffer{};
    while (sent && pdf) {
        pdf.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto count = static_cast<std::size_t>(pdf.gcount());
        if (count > 0 && Cups().WriteRequestData(http.get(), buffer.data(), count) != HTTP_STATUS_CONTINUE) {
            sent = false;
        }
    }
    const bool readAll = pdf.eof();
    // The document must be finished even after a failure, or the connection is left mid-request.
    const bool finished = Cups().FinishDocument(http.get(), dest->name) == IPP_STATUS_OK;
    if (!sent || !readAll || !finished) {
        const std::string reason = !readAll ? "cannot read '" + pdfPath + "'" : LastCupsError();
        Cups().CancelJob2(http.get(), dest->name, job, 0);
        throw CommandFailure("printer '" + std::string(dest->name) + "' refused the job: " + reason);
    }
    return {job, dest->name};
}

} // namespace

Outcome LoadCupsLibrary(const std::string& fileName) {
    const Result<CupsFunctions> functions = OpenCups(fileName);
    if (!functions) {
        return Failure{functions.Message()};
    }
    return Done{};
}

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
    Removal.Hold(FilePath);
}

TemporaryPdf::~TemporaryPdf() {
    std::remove(FilePath.c_str());
}
