#pragma once

#include "CoreMinimal.h"
#include "Fonts/SlateFontInfo.h"

/**
 * Measures text as the layout sees it. There is no font rendering here, so text is measured in
 * a fixed-width model of the font: every character is CharacterWidth × size wide, every line
 * LineHeight × size high, whatever the typeface.
 */
class SLATECORE_API FSlateFontMeasure
{
public:
	static constexpr float CharacterWidth = 0.6f;
	static constexpr float LineHeight = 1.2f;

	/** The size of Text in layout units: its longest line's width and the height of all its lines ('\n' breaks a line). */
	static FVector2f Measure(const FString& Text, const FSlateFontInfo& InFontInfo);
};
