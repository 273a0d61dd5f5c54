#include "Components/TextBlock.h"

#include "Fonts/FontMeasure.h"

FVector2f UTextBlock::ComputeDesiredSize() const
{
	return FSlateFontMeasure::Measure(Text.ToString(), Font);
}
