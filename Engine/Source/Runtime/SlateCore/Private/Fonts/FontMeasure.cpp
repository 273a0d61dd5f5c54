#include "Fonts/FontMeasure.h"

FVector2f FSlateFontMeasure::Measure(const FString& Text, const FSlateFontInfo& InFontInfo)
{
	int32 Lines = 1;
	int32 LongestLine = 0;
	int32 LineLength = 0;
	for (int32 Index = 0; Index < Text.Len(); ++Index)
	{
		if (Text[Index] == TEXT('\n'))
		{
			++Lines;
			LineLength = 0;
			continue;
		}
		// Bytes after the first of a UTF-8 sequence add no character.
		if ((uint8(Text[Index]) & 0xC0) != 0x80)
		{
			LongestLine = FMath::Max(LongestLine, ++LineLength);
		}
	}
	return FVector2f(float(LongestLine) * CharacterWidth * InFontInfo.Size, float(Lines) * LineHeight * InFontInfo.Size);
}
