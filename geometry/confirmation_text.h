#pragma once

#include "geometry/alignment.h"

#include <string>

// The ten lines shown before the arc template prints (Windows-1252, joined by line feeds, none after the last).
std::string ConfirmationText(const AlignedArm& arm);
