#pragma once

// Shared by the printout tests: run a printout on the recording device and pick its requests apart.

#include "geometry/alignment.h"
#include "geometry/angles.h"
#include "print/page_model.h"
#include "print/recording_device.h"
#include "windows/field_table.h"
#include "windows/parameter_record.h"
#include "windows/record_adaptor.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace printout_test {

// Field texts and check states from a table, as the window would answer.
using TableFieldReader = FieldTextTable;

// An arm over IEC grooves, computed, with factors of 1 and the ID "Deck 1": at 209 mm with Löfgren A, the worked
// example.
inline ParameterRecord IecArmRecord(double spindleToPivot = 209, std::int16_t geometry = 1) {
    ParameterRecord record{};
    record.SpindleToPivot = spindleToPivot;
    record.InnerGrooveRadius = 60.325;
    record.OuterGrooveRadius = 146.05;
    record.CorrectionFactorX = 1;
    record.CorrectionFactorY = 1;
    record.GeometryChoice = geometry;
    AssignArmId(record, "Deck 1");
    ComputeAlignment(record);
    return record;
}

// Dots per millimetre as a 600 dpi printer gives them: the inch is the single-precision 25.4.
inline double Dpm(double correctionFactor, int dotsPerInch = 600) {
    return dotsPerInch * correctionFactor / static_cast<double>(25.4f);
}

inline std::vector<DeviceRequest> OfKind(const std::vector<DeviceRequest>& log, DeviceRequest::Kind kind) {
    std::vector<DeviceRequest> found;
    for (const DeviceRequest& request : log) {
        if (request.What == kind) {
            found.push_back(request);
        }
    }
    return found;
}

// The page angle (y up) of the ray from the box centre through a point, in radians within [0, 2 pi).
inline double RayAngle(const DeviceRect& box, DevicePoint through) {
    const double cx = (box.Left + box.Right) / 2.0;
    const double cy = (box.Top + box.Bottom) / 2.0;
    double angle = std::atan2(-(through.Y - cy), through.X - cx);
    if (angle < 0) {
        angle += 2 * static_cast<double>(Pi);
    }
    return angle;
}

// The difference of two angles, folded into [-pi, pi).
inline double AngleDifference(double a, double b) {
    const double twoPi = 2 * static_cast<double>(Pi);
    double d = std::fmod(a - b, twoPi);
    if (d >= twoPi / 2) {
        d -= twoPi;
    } else if (d < -twoPi / 2) {
        d += twoPi;
    }
    return d;
}

// A rounded position is within half a dot of the ideal one (plus what the source's decimals leave open).
inline bool NearDots(int dots, double millimetres, double dotsPerMm, double slack = 0.0) {
    return std::fabs(dots - millimetres * dotsPerMm) <= 0.5 + slack;
}

} // namespace printout_test
