#pragma once

// The Windows program's parameter record as the typed values the portable core takes, and what the core gives
// written back into it: the record is this program's state, not the core's currency.

#include "geometry/alignment.h"
#include "print/page_model.h"
#include "print/printouts.h"
#include "windows/parameter_record.h"

#include <cstdint>
#include <optional>
#include <string>

// The record's choice (1, 2, 3, CustomNullsChoice) as a geometry, none for any other value; and back.
std::optional<Geometry> GeometryOfChoice(std::int16_t choice);
std::int16_t ChoiceOfGeometry(Geometry geometry);

// The record's inputs as typed values (its geometry Löfgren A when it has none); its results set from an
// alignment.
ArmInputs ArmInputsOf(const ParameterRecord& record);
void StoreAlignment(ParameterRecord& record, const Alignment& alignment);

// The compute phase alone, on any record (depends only on its inputs and, without a geometry, its results).
void ComputeAlignment(ParameterRecord& record);

// The record's inputs (Löfgren A when no geometry was read yet) and its results.
AlignedArm AlignedArmOf(const ParameterRecord& record);
PrintCorrection CorrectionOf(const ParameterRecord& record);
// The template's title: none before any geometry was read, as the window has always printed it.
std::optional<std::string> ArcTemplateTitle(const ParameterRecord& record);
ArcTemplateJob ArcTemplateJobOf(const ParameterRecord& record);
// Where the template placed its points, into the record's page positions; a null point it did not place keeps
// the position the record held.
void StorePlacement(ParameterRecord& record, const ArcTemplatePlacement& placed);

// The confirmation box's ten lines for the record.
std::string ConfirmationText(const ParameterRecord& record);

// The printouts on the record, as the window prints them.
void PrintArcTemplate(PrintSurface& surface, ParameterRecord& record);
void PrintArcTemplate(PrintSurface& surface, ParameterRecord& record, EdgeMarks edgeMarks);
void PrintStrobeDisk(PrintSurface& surface, const ParameterRecord& record, std::int32_t outerBars,
                     std::int32_t innerBars, const std::string& captionLine1, const std::string& captionLine2);
