#pragma once

// What every recorded print job must look like, whatever the page model was asked to do: documents and pages
// properly nested and ended, drawing only on an open page, and no coordinate beyond the limit a device can take.

#include "print/page_model.h"
#include "print/recording_device.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

namespace fuzz_checks {

[[noreturn]] inline void Fail(const char* rule, std::size_t index) {
    std::fprintf(stderr, "%s (request %zu of the recorded log)\n", rule, index);
    std::abort();
}

inline bool WithinLimit(int coordinate) {
    return std::fabs(static_cast<double>(coordinate)) <= PageCoordinateLimit;
}

inline bool WithinLimit(DevicePoint point) {
    return WithinLimit(point.X) && WithinLimit(point.Y);
}

inline bool WithinLimit(const DeviceRect& rect) {
    return WithinLimit(rect.Left) && WithinLimit(rect.Top) && WithinLimit(rect.Right) && WithinLimit(rect.Bottom) &&
           rect.Left <= rect.Right && rect.Top <= rect.Bottom;
}

struct JobCounts {
    int Documents = 0;
    int Pages = 0;
};

// Checks the whole log of one or more finished jobs; returns how many documents and pages it held.
inline JobCounts CheckRecordedJobs(const std::vector<DeviceRequest>& log) {
    using Kind = DeviceRequest::Kind;
    JobCounts counts;
    bool documentOpen = false;
    bool pageOpen = false;
    int pagesInDocument = 0;
    std::set<DeviceFontHandle> liveFonts;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const DeviceRequest& request = log[i];
        switch (request.What) {
        case Kind::StartDocument:
            if (documentOpen) {
                Fail("a document started inside another", i);
            }
            documentOpen = true;
            pagesInDocument = 0;
            ++counts.Documents;
            break;
        case Kind::StartPage:
            if (!documentOpen || pageOpen) {
                Fail("a page started outside a document or inside another page", i);
            }
            if (++pagesInDocument > 1) {
                Fail("a job printed more than one page", i);
            }
            if (request.Orientation != 1 && request.Orientation != 2) {
                Fail("a page started with an orientation other than portrait or landscape", i);
            }
            pageOpen = true;
            ++counts.Pages;
            break;
        case Kind::EndPage:
            if (!pageOpen) {
                Fail("a page ended that was not open", i);
            }
            pageOpen = false;
            break;
        case Kind::EndDocument:
            if (!documentOpen || pageOpen) {
                Fail("a document ended that was not open, or with its page still open", i);
            }
            documentOpen = false;
            break;
        case Kind::MakeFont:
            if (!documentOpen) {
                Fail("a font was made outside a document", i);
            }
            liveFonts.insert(request.Font);
            break;
        case Kind::ReleaseFont:
            // Fonts outlive the document they were made for (the job releases them last), but each only once.
            if (liveFonts.erase(request.Font) != 1) {
                Fail("a font was released that was not made, or released twice", i);
            }
            break;
        case Kind::Line:
        case Kind::Box:
        case Kind::Arc:
        case Kind::Text:
            if (!pageOpen) {
                Fail("a drawing request outside an open page", i);
            }
            if (request.PenWidth < 0) {
                Fail("a negative pen width reached the device", i);
            }
            break;
        }
        const bool coordinatesOk = [&] {
            switch (request.What) {
            case Kind::Line:
                return WithinLimit(request.From) && WithinLimit(request.To);
            case Kind::Box:
                return WithinLimit(request.Rect) && request.CornerSize.X >= 0 && request.CornerSize.Y >= 0;
            case Kind::Arc:
                return WithinLimit(request.Rect) && WithinLimit(request.From) && WithinLimit(request.To);
            case Kind::Text:
                return WithinLimit(request.From);
            default:
                return true;
            }
        }();
        if (!coordinatesOk) {
            Fail("a coordinate beyond the device limit (or an inverted rectangle) reached the device", i);
        }
    }
    if (documentOpen || pageOpen) {
        Fail("the log ends with a document or page still open", log.size());
    }
    return counts;
}

// A printout's job: one document of one page, well formed.
inline void CheckOnePageJob(const std::vector<DeviceRequest>& log, const char* printout) {
    const JobCounts counts = CheckRecordedJobs(log);
    if (counts.Documents != 1 || counts.Pages != 1) {
        std::fprintf(stderr, "%s: %d documents and %d pages instead of one of each\n", printout, counts.Documents,
                     counts.Pages);
        std::abort();
    }
}

} // namespace fuzz_checks
