#include "Components/ExpandableArea.h"

#include "UMGLogs.h"

namespace
{
	const FName HeaderSlot(TEXT("Header"));
	const FName BodySlot(TEXT("Body"));

	FVector2f DesiredOf(const UWidget* Widget)
	{
		return Widget ? FVector2f(Widget->GetDesiredSize()) : FVector2f(0.0f, 0.0f);
	}
}

UWidget* UExpandableArea::GetContentForSlot(FName SlotName) const
{
	return SlotName == HeaderSlot ? HeaderContent.Get() : SlotName == BodySlot ? BodyContent.Get() : nullptr;
}

void UExpandableArea::SetContentForSlot(FName SlotName, UWidget* Content)
{
	if (SlotName == HeaderSlot)
	{
		HeaderContent = Content;
	}
	else if (SlotName == BodySlot)
	{
		BodyContent = Content;
	}
	else
	{
		UE_LOG(LogUMG, Warning, TEXT("SetContentForSlot: %s has no slot named %s"), *GetName(), *SlotName.ToString());
	}
}

void UExpandableArea::GetChildWidgets(TArray<UWidget*>& OutChildren) const
{
	for (UWidget* Part : {HeaderContent.Get(), BodyContent.Get()})
	{
		if (Part)
		{
			OutChildren.Add(Part);
		}
	}
}

int32 UExpandableArea::Paint(const FPaintArgs& Args, const FGeometry& Geometry, const FSlateRect& CullingRect,
	FSlateWindowElementList& OutDrawElements, int32 LayerId, const FWidgetStyle& InWidgetStyle, bool bParentEnabled) const
{
	int32 MaxLayer = LayerId;
	for (const UWidget* Part : {HeaderContent.Get(), bIsExpanded ? BodyContent.Get() : nullptr})
	{
		if (Part)
		{
			MaxLayer = FMath::Max(MaxLayer,
				Part->Paint(Args, Part->GetCachedGeometry(), CullingRect, OutDrawElements, LayerId, InWidgetStyle, bParentEnabled));
		}
	}
	return MaxLayer;
}

FVector2f UExpandableArea::ComputeDesiredSize() const
{
	const FVector2f Header = DesiredOf(HeaderContent);
	const FVector2f Body = bIsExpanded ? DesiredOf(BodyContent) : FVector2f(0.0f, 0.0f);
	return FVector2f(FMath::Max(Header.X, Body.X), Header.Y + Body.Y);
}

void UExpandableArea::ArrangeChildren(const FGeometry& Geometry)
{
	const FVector2f Size(Geometry.GetLocalSize());
	const float HeaderHeight = FMath::Min(DesiredOf(HeaderContent).Y, Size.Y);
	if (HeaderContent)
	{
		HeaderContent->Arrange(Geometry.MakeChild(FVector2f(0.0f, 0.0f), FVector2f(Size.X, HeaderHeight)));
	}
	if (BodyContent)
	{
		const FVector2f BodySize = bIsExpanded ? FVector2f(Size.X, Size.Y - HeaderHeight) : FVector2f(0.0f, 0.0f);
		BodyContent->Arrange(Geometry.MakeChild(FVector2f(0.0f, HeaderHeight), BodySize));
	}
}
