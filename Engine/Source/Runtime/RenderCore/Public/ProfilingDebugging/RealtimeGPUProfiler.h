#pragma once

// GPU stat declarations as the engine spells them, at namespace scope of a source file:
//
//   DECLARE_GPU_STAT(VorpexColorize);
//   DECLARE_GPU_STAT_NAMED(VorpexBlend, TEXT("Vorpex Blend"));
//
// Each defines the FGPUStat GPUStat_<Name>, which RDG_GPU_STAT_SCOPE(GraphBuilder, Name)
// (RenderGraphEvent.h) opens around the passes added in its scope.

#include "ProfilingDebugging/GPUStat.h"

#define DECLARE_GPU_STAT(StatName) static FGPUStat GPUStat_##StatName(TEXT(#StatName), TEXT(#StatName))
#define DECLARE_GPU_STAT_NAMED(StatName, NameString) static FGPUStat GPUStat_##StatName(TEXT(#StatName), NameString)
