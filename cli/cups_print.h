#pragma once

#include "cli/file_printer.h"
#include "cli/removal_on_signal.h"

#include "geometry/result.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// CUPS's library, loaded at run time by the first job: the commands that print nothing never load it.
inline constexpr std::string_view CupsLibraryFile = "libcups.so.2";

// Loads a CUPS library by file name and finds the functions printing needs; the failure says in one line that
// printing is impossible and why ("cannot print: CUPS's library NAME is not installed").
Outcome LoadCupsLibrary(const std::string& fileName);

// The job options that make a printer put the page on paper exactly as it is: no scaling to fit, the page's own
// paper, and the orientation the page was drawn in.
std::vector<std::pair<std::string, std::string>> CupsJobOptions(bool landscape, PaperSize paper);

// Sends a PDF file to a CUPS queue ("" = the default destination) as one job with CupsJobOptions and returns the
// job id. Throws CommandFailure with one line when CUPS's library is missing, there is no CUPS server, no such queue
// (or no default), or the printer refuses the job.
int SendPdfToCups(const std::string& pdfPath, const std::string& queue, bool landscape, PaperSize paper,
                  const std::string& title);

// A job sent: its id and the queue it went to (the default destination's name when none was named).
struct CupsJob {
    int Id = 0;
    std::string Queue;
};

// Prints a page that `writePdf` writes as PDF to the path it is given: a temporary file, sent with SendPdfToCups
// and removed again whatever happens. Failures of `writePdf` pass through.
CupsJob PrintPageThroughCups(const std::function<void(const std::string& pdfPath)>& writePdf, const std::string& queue,
                             bool landscape, PaperSize paper, const std::string& title);

// A PDF file of our own in the temporary folder ($TMPDIR, else /tmp), removed again when the object goes: a page
// that is printed but not kept is written there first; a stopping signal removes it too. Throws CommandFailure when no
// such file can be made.
class TemporaryPdf {
public:
    TemporaryPdf();
    ~TemporaryPdf();
    TemporaryPdf(const TemporaryPdf&) = delete;
    TemporaryPdf& operator=(const TemporaryPdf&) = delete;
    const std::string& Path() const { return FilePath; }

private:
    std::string FilePath;
    RemovalOnSignal Removal;
};
