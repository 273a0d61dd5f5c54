#pragma once

#include "CoreMinimal.h"

/** The font a text is shown in: the typeface of the font family and the size in points. */
struct FSlateFontInfo
{
	/** The family member, such as "Regular" or "Bold". */
	FName TypefaceFontName;
	float Size = 0.0f;

	FSlateFontInfo() = default;
	FSlateFontInfo(float InSize, FName InTypefaceFontName) : TypefaceFontName(InTypefaceFontName), Size(InSize) {}
};
