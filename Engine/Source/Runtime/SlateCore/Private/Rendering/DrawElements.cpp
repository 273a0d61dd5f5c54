#include "Rendering/DrawElements.h"

void FSlateDrawElement::MakeLines(FSlateWindowElementList& ElementList, uint32 InLayer, const FPaintGeometry& PaintGeometry, TArray<FVector2f> Points,
	ESlateDrawEffect InDrawEffects, const FLinearColor& InTint, bool bAntialias, float Thickness)
{
	if (Points.Num() < 2)
	{
		return;
	}
	FSlateDrawElement Element;
	Element.ElementType = EElementType::ET_Line;
	Element.Layer = InLayer;
	Element.PaintGeometry = PaintGeometry;
	Element.Points = std::move(Points);
	Element.DrawEffects = InDrawEffects;
	Element.Tint = InTint;
	Element.bAntialias = bAntialias;
	Element.Thickness = Thickness;
	ElementList.AddElement(std::move(Element));
}
