#include "Components/SizeBox.h"

void USizeBox::SetWidthOverride(float InWidthOverride)
{
	WidthOverride = InWidthOverride;
	bOverride_WidthOverride = true;
}

void USizeBox::SetHeightOverride(float InHeightOverride)
{
	HeightOverride = InHeightOverride;
	bOverride_HeightOverride = true;
}

FVector2f USizeBox::ComputeDesiredSize() const
{
	const FVector2f ContentSize = GetContent() ? FVector2f(GetContent()->GetDesiredSize()) : FVector2f(0.0f, 0.0f);
	return FVector2f(bOverride_WidthOverride ? WidthOverride : ContentSize.X, bOverride_HeightOverride ? HeightOverride : ContentSize.Y);
}

void USizeBox::ArrangeChildren(const FGeometry& Geometry)
{
	if (UWidget* Content = GetContent())
	{
		Content->Arrange(Geometry.MakeChild(FVector2f(0.0f, 0.0f), FVector2f(Geometry.GetLocalSize())));
	}
}
