#include "BoxPanelLayout.h"

#include "Components/Widget.h"

namespace
{
	/** Offset and size of a child of Desired size aligned inside a space of Available length. */
	TPair<float, float> Align(float Available, float Desired, bool bFill, bool bStart, bool bCenter)
	{
		if (bFill)
		{
			return {0.0f, Available};
		}
		const float Size = FMath::Min(Desired, Available);
		const float Offset = bStart ? 0.0f : bCenter ? (Available - Size) * 0.5f : Available - Size;
		return {Offset, Size};
	}

	float Along(FVector2f Vector, bool bHorizontal) { return bHorizontal ? Vector.X : Vector.Y; }
	float Across(FVector2f Vector, bool bHorizontal) { return bHorizontal ? Vector.Y : Vector.X; }
}

FVector2f BoxPanelLayout::ComputeDesiredSize(const TArray<FBoxPanelChild>& Children, bool bHorizontal)
{
	float Length = 0.0f;
	float Thickness = 0.0f;
	for (const FBoxPanelChild& Child : Children)
	{
		const FVector2f Padded = FVector2f(Child.Widget->GetDesiredSize()) + Child.Padding.GetDesiredSize();
		Length += Along(Padded, bHorizontal);
		Thickness = FMath::Max(Thickness, Across(Padded, bHorizontal));
	}
	return bHorizontal ? FVector2f(Length, Thickness) : FVector2f(Thickness, Length);
}

void BoxPanelLayout::ArrangeChildren(const TArray<FBoxPanelChild>& Children, bool bHorizontal, const FGeometry& Geometry)
{
	const FVector2f Allotted(Geometry.GetLocalSize());
	float Fixed = 0.0f;
	float FillTotal = 0.0f;
	for (const FBoxPanelChild& Child : Children)
	{
		Fixed += Child.Padding.GetTotalSpaceAlong(bHorizontal);
		if (Child.Size.SizeRule == ESlateSizeRule::Automatic)
		{
			Fixed += Along(FVector2f(Child.Widget->GetDesiredSize()), bHorizontal);
		}
		else
		{
			FillTotal += Child.Size.Value;
		}
	}
	const float Free = FMath::Max(0.0f, Along(Allotted, bHorizontal) - Fixed);

	float Cursor = 0.0f;
	for (const FBoxPanelChild& Child : Children)
	{
		const FVector2f Desired(Child.Widget->GetDesiredSize());
		const float Share = Child.Size.SizeRule == ESlateSizeRule::Automatic ? Along(Desired, bHorizontal)
						  : FillTotal > 0.0f                                 ? Free * Child.Size.Value / FillTotal
																			 : 0.0f;
		const FVector2f SlotOrigin = bHorizontal ? FVector2f(Cursor + Child.Padding.Left, Child.Padding.Top)
												 : FVector2f(Child.Padding.Left, Cursor + Child.Padding.Top);
		const FVector2f SlotSize = bHorizontal ? FVector2f(Share, FMath::Max(0.0f, Allotted.Y - Child.Padding.GetTotalSpaceAlong(false)))
											   : FVector2f(FMath::Max(0.0f, Allotted.X - Child.Padding.GetTotalSpaceAlong(true)), Share);
		const EHorizontalAlignment H = Child.HorizontalAlignment;
		const EVerticalAlignment V = Child.VerticalAlignment;
		const TPair<float, float> X = Align(SlotSize.X, Desired.X, H == HAlign_Fill, H == HAlign_Left, H == HAlign_Center);
		const TPair<float, float> Y = Align(SlotSize.Y, Desired.Y, V == VAlign_Fill, V == VAlign_Top, V == VAlign_Center);
		Child.Widget->Arrange(Geometry.MakeChild(SlotOrigin + FVector2f(X.Key, Y.Key), FVector2f(X.Value, Y.Value)));
		Cursor += Share + Child.Padding.GetTotalSpaceAlong(bHorizontal);
	}
}
